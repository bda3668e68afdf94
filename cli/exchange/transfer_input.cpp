// Reading lines from a block of input at a time. A zero byte ends the reading at once, even
// inside a line too long to keep, so that a device of zeros is refused after its first block.
#include "transfer_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

std::string LineFault(LineRead read) {
    switch (read) {
        case LineRead::kTooLong:
            return "a line longer than " + std::to_string(kMaxImportLine) + " bytes";
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
    if (passingOver_) {
        passingOver_ = false;
        LineRead rest = Take(nullptr);
        if (rest != LineRead::kLine) {
            // A line too long to keep that the input ends inside is cut all the same.
            return rest == LineRead::kEnd ? LineRead::kCut : rest;
        }
    }
    ++number_;
    LineRead read = Take(line);
    if ((read == LineRead::kLine || read == LineRead::kCut) && !line->empty() &&
        line->back() == '\r') {
        line->pop_back();
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
        if (line != nullptr && line->size() + size > most_) {
            // The next call passes over the line from here.
            passingOver_ = true;
            return LineRead::kTooLong;
        }
        if (line != nullptr) {
            line->append(start, size);
        }
        next_ += size;
        if (stop != last) {
            ++next_;
            return *stop == '\0' ? LineRead::kBinary : LineRead::kLine;
        }
    }
}
