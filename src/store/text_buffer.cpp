// TextBuffer on the module's heap. Reserve is the only place that throws ErrNoMemory.
#include "text_buffer.h"

#include <utility>

#include "errors.h"
#include "heap.h"
#include "platform.h"

TextBuffer::~TextBuffer() {
    Clear();
}

void TextBuffer::Clear() {
    if (capacity != 0) {
        MemFree(data);
    }
    data = nullptr;
    capacity = 0;
}

void TextBuffer::Swap(TextBuffer& other) {
    std::swap(data, other.data);
    std::swap(capacity, other.capacity);
}

void TextBuffer::Reserve(uint32_t size) {
    if (size == 0 || size < capacity) {
        return;
    }
    MemFree(data);
    data = static_cast<char*>(MemAlloc(size));
    capacity = data != nullptr ? size : 0;
    if (data == nullptr) {
        throw ErrNoMemory;
    }
}

void TextBuffer::Assign(const char* text) {
    text = text != nullptr ? text : "";
    uint32_t need = static_cast<uint32_t>(lstrlenA(text)) + 1;
    if (capacity < need) {
        Reserve(need);
    }
    lstrcpyA(data, text);
}

TextBuffer& TextBuffer::Append(const char* text) {
    text = text != nullptr ? text : "";
    uint32_t total = static_cast<uint32_t>(lstrlenA(data) + lstrlenA(text)) + 1;
    if (capacity < total) {
        TextBuffer grown;
        grown.Reserve(total);
        grown.Assign(Text());
        Swap(grown);
    }
    lstrcatA(data, text);
    return *this;
}
