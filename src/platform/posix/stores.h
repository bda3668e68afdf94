// The registry's two stores, the persistent and the volatile one, as the registry functions
// use them: a key is looked for in both. Each store fails alone: one that cannot be used neither
// blocks nor hides the keys of the other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "registry_db.h"

namespace velmora::registry {

// The open database of `store` (a VelmoraStoreId). A store whose file does not exist yet, or
// holds no schema yet, is made only when `create`; otherwise it gives ERROR_FILE_NOT_FOUND and
// no fault, so that a read makes no file, no folder and no schema.
LONG Connection(int store, bool create, std::shared_ptr<Database>* out);

// Finds an existing key in either store. The failure of a store that cannot be used is given
// only when the key is found in neither.
LONG FindKey(const std::string& path, std::shared_ptr<Database>* db, int64_t* id);

// Adds the direct subkeys of `path` in every usable store to `*count`; `own` is the key's own
// database, whose failure is the call's.
LONG CountSubKeys(const std::string& path, const Database& own, DWORD* count);

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
