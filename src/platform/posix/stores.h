// The registry's two stores, the persistent and the volatile one, as the registry functions
// use them: where a key is found, where its first write makes it, and the transaction a program
// opens over both. Each store fails alone: one that cannot be used neither blocks nor hides the
// keys of the other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "registry_db.h"

namespace velmora::registry {

// Finds the key at `path`, in either store, for a handle; `*db` comes back empty when the key
// exists in no store, and is then made by the first write through the handle
// (CreateKeyOnFirstWrite), so that reads never take a store's write lock. A key in no store is
// found so only when the store its option `isVolatile` asks for answered that it is missing; a
// store that cannot be used neither blocks nor hides a key of the other.
LONG LocateKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
               int64_t* id);

// Makes the key that LocateKey found in no store, unless another process made it meanwhile: in
// the volatile store when `isVolatile`, else in the persistent one. A key is its path alone:
// nothing is made on the way to it, so the module's root and settings, which it opens as keys of
// their own, live where their own option puts them, in the persistent store.
LONG CreateKeyOnFirstWrite(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
                           int64_t* id);

// The transaction a program opens over both stores (store_transaction.h). While it is open,
// every write joins it: the first write to a database takes that database's write lock and
// keeps it to the end, and nothing is committed before then.
LONG BeginTransaction();
bool TransactionOpen();
// Commits or rolls back every database the transaction touched. Each writes its pages out before
// any commits, and should one fail then, all roll back. They commit one after the other, the
// persistent one first: should a commit fail still, those after it roll back, those before it
// stay committed (CommittedStores).
LONG EndTransaction(bool commit);
// The stores the last end committed, a bit (1 << VelmoraStoreId) each.
unsigned CommittedStores();
// Makes a write to `db` part of the open transaction, if there is one.
LONG JoinTransaction(const std::shared_ptr<Database>& db);

}  // namespace velmora::registry
