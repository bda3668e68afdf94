// The process heap on POSIX: blocks from malloc with a small header that remembers their size,
// so that HeapReAlloc can zero the part by which a block grows, as HEAP_ZERO_MEMORY asks.
// Also counts requests and live blocks for the failure hooks.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "../test_hooks.h"
#include "windows_api.h"

namespace {

// The header keeps the block's size and keeps the caller's part aligned like malloc's own.
struct alignas(std::max_align_t) BlockHeader {
    size_t size;
};

std::atomic<unsigned> requestCount{0};
std::atomic<unsigned> failingRequest{0};
std::atomic<size_t> liveBlocks{0};
int processHeap;

// Counts this request and tells whether the failure hook refuses it.
bool RequestRefused() {
    unsigned n = ++requestCount;
    unsigned failing = failingRequest.load();
    if (failing != 0 && n == failing) {
        failingRequest = 0;
        return true;
    }
    return false;
}

BlockHeader* HeaderOf(void* block) {
    return static_cast<BlockHeader*>(block) - 1;
}

}  // namespace

HANDLE GetProcessHeap(void) {
    return &processHeap;
}

LPVOID HeapAlloc(HANDLE, DWORD dwFlags, SIZE_T dwBytes) {
    if (RequestRefused()) {
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + dwBytes));
    if (header == nullptr) {
        return nullptr;
    }
    header->size = dwBytes;
    if (dwFlags & HEAP_ZERO_MEMORY) {
        std::memset(header + 1, 0, dwBytes);
    }
    ++liveBlocks;
    return header + 1;
}

LPVOID HeapReAlloc(HANDLE, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    if (lpMem == nullptr || RequestRefused()) {
        return nullptr;
    }
    size_t oldSize = HeaderOf(lpMem)->size;
    auto* header =
        static_cast<BlockHeader*>(std::realloc(HeaderOf(lpMem), sizeof(BlockHeader) + dwBytes));
    if (header == nullptr) {
        return nullptr;
    }
    header->size = dwBytes;
    if ((dwFlags & HEAP_ZERO_MEMORY) && dwBytes > oldSize) {
        std::memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, dwBytes - oldSize);
    }
    return header + 1;
}

BOOL HeapFree(HANDLE, DWORD, LPVOID lpMem) {
    if (lpMem != nullptr) {
        std::free(HeaderOf(lpMem));
        --liveBlocks;
    }
    return TRUE;
}

void VelmoraFailHeapRequest(unsigned n) {
    failingRequest = n == 0 ? 0 : requestCount + n;
}

unsigned VelmoraHeapRequests(void) {
    return requestCount;
}

size_t VelmoraLiveHeapBlocks(void) {
    return liveBlocks;
}
