// The module's only allocator: blocks from the process heap, zero-filled, failure reported by
// returning none. Objects the module creates dynamically are built in such blocks.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

void* MemAlloc(size_t size);
void MemFree(void* block);
// Resizes `block` (none behaves as MemAlloc); the growth is zero-filled. On failure the result
// is none and the old block is untouched and still the caller's.
void* MemRealloc(void* block, size_t size);

// Builds a T in a zero-filled heap block. None when the heap refuses the block; when the
// construction throws, the block is released and the exception goes on.
template <class T, class... Args>
T* MemNew(Args&&... args) {
    void* block = MemAlloc(sizeof(T));
    if (block == nullptr) {
        return nullptr;
    }
    try {
        return new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        MemFree(block);
        throw;
    }
}

template <class T>
void MemDelete(T* object) {
    if (object != nullptr) {
        object->~T();
        MemFree(object);
    }
}
