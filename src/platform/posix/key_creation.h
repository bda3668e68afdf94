// Where the registry functions find a key for a handle, and where the first write through the
// handle makes it: keys are made by writes only, so that reads never take a store's write lock.
// A key and its missing ancestors are made in one transaction; the ancestors go to the
// persistent store whenever it can be written, so that the module's root and settings are
// never lost with the volatile store.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "registry_db.h"

namespace velmora::registry {

// Finds the key at `path` for a handle opened with the option `isVolatile`. `*pending` comes
// back true when the first write through the handle must make the key: it exists in no store
// (`*db` is then empty), or a persistent key is asked for where only a key that older code made
// on the way to a volatile one stands (`*db` is that key, which reads go to meanwhile). A key in
// no store is pending only when the store its option asks for can be used.
LONG LocateKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db, int64_t* id,
               bool* pending);

// Makes the key that LocateKey found pending, unless another process made it meanwhile: in the
// volatile store when `isVolatile`, else in the persistent one, and the missing ancestors with
// it. Processes make keys one at a time, under the persistent store's write lock.
LONG CreatePendingKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
                      int64_t* id);

}  // namespace velmora::registry
