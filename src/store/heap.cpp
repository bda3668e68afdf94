// The allocator on the process heap of the host process, which the module shares with it.
#include "heap.h"

#include "platform.h"

void* MemAlloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void MemFree(void* block) {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

void* MemRealloc(void* block, size_t size) {
    if (block == nullptr) {
        return MemAlloc(size);
    }
    return HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, size);
}
