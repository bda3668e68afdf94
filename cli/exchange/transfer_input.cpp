// Reading lines from a block of input at a time. A zero byte ends the reading at once, so that
// a device of zeros is refused after its first block.
#include "transfer_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

std::string LineFault(LineRead read) {
    switch (read) {
        case LineRead::kTooLong:
            return "a line longer than " + std::to_string(kMaxImportLine) +
                   " bytes, which no file to import holds";
        case LineRead::kTooMuch:
            return "more than " + std::to_string(kMaxImportLines) + " lines or " +
                   std::to_string(kMaxImportBytes) + " bytes, more than an import takes";
        case LineRead::kCut:
            return "the last line has no line end: the file is cut";
        case LineRead::kBinary:
            return "the byte 0, which no text file holds";
        default:
            return std::string("cannot be read: ") + std::strerror(errno);
    }
}

LineRead LineReader::Next(std::string* line) {
    line->clear();
    ++number_;
    LineRead read = Take(line);
    if (read != LineRead::kEnd && (number_ > kMaxImportLines || taken_ > kMaxImportBytes)) {
        return LineRead::kTooMuch;
    }
    if ((read == LineRead::kLine || read == LineRead::kCut) && !line->empty() &&
        line->back() == '\r') {
        line->pop_back();
    }
    // Editors of another system begin a UTF-8 file with a byte-order mark, which no line means.
    if (number_ == 1 && line->compare(0, 3, "\xEF\xBB\xBF") == 0) {
        line->erase(0, 3);
    }
    return read;
}

LineRead LineReader::Take(std::string* line) {
    bool any = false;
    for (;;) {
        if (next_ == end_) {
            next_ = 0;
            end_ = std::fread(block_, 1, sizeof block_, in_);
            if (end_ == 0) {
                return std::ferror(in_) ? LineRead::kError
                                        : (any ? LineRead::kCut : LineRead::kEnd);
            }
        }
        any = true;
        const char* start = block_ + next_;
        const char* last = block_ + end_;
        const char* stop = std::find_if(start, last, [](char c) { return c == '\n' || c == '\0'; });
        size_t size = static_cast<size_t>(stop - start);
        if (line->size() + size > kMaxImportLine) {
            return LineRead::kTooLong;
        }
        line->append(start, size);
        next_ += size;
        taken_ += size;
        if (stop != last) {
            ++next_;
            ++taken_;
            return *stop == '\0' ? LineRead::kBinary : LineRead::kLine;
        }
    }
}
