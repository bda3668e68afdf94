// TextBuffer, the module's string type: an owned, zero-terminated 8-bit block and its size.
// A buffer without a block holds the empty text. Buffers are never copied; the block is
// released when the buffer goes, error unwinding included.
#pragma once

#include <cstdint>

class TextBuffer {
  public:
    TextBuffer() = default;
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Copies `text` in, growing the block when it is too small; on failure the buffer is left
    // empty without a block and ErrNoMemory is thrown.
    void Assign(const char* text);
    // Replaces the block by a fresh zero-filled one of exactly `size` bytes unless `size` is 0
    // or smaller than the capacity. The old text is not kept.
    void Reserve(uint32_t size);
    // Appends `text`, which must not lie in this buffer's block. Growth is exact; when the heap
    // refuses, the buffer keeps its text and ErrNoMemory is thrown.
    TextBuffer& Append(const char* text);

    // Exchanges blocks with `other`; the one way a block changes owner.
    void Swap(TextBuffer& other);
    // Releases the block; the buffer then holds the empty text.
    void Clear();

    const char* Text() const { return data != nullptr ? data : ""; }

    char* data = nullptr;
    uint32_t capacity = 0;
};
