// The input of `velmora import`, read one line at a time with a bound on a line's length, so
// that no input (a device of zeros, an endless pipe) is ever held in memory whole.
#pragma once

#include <cstdio>
#include <string>

// The longest line an import reads: far more than an entry the store takes needs, escaped (a
// name of 16,383 bytes and a path of 4,095, each byte written as four, are 82 KB).
constexpr size_t kMaxImportLine = 1 << 20;
// An input with this many lines that cannot be read is no such file: the import stops there, so
// that reading an endless one ends at once.
constexpr size_t kMaxBadLines = 20;

enum class LineRead {
    kLine,
    // The input ended.
    kEnd,
    // The line holds more bytes than the bound; the next call passes over the rest of it.
    kTooLong,
    // The input ended inside the line: its text is given, its line end is missing.
    kCut,
    // A zero byte: no text file holds one. Read no further.
    kBinary,
    // Reading failed; errno tells why. Read no further.
    kError,
};

// What is wrong with a line read as `read` (not kLine or kEnd), for a message; right after the
// read, while errno still tells why reading failed.
std::string LineFault(LineRead read);

class LineReader {
  public:
    // `most`: the most bytes a line may hold.
    LineReader(std::FILE* in, size_t most) : in_(in), most_(most) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its line end ("\n", or "\r\n" from another system).
    LineRead Next(std::string* line);
    // The number of the line the last call was about, counting from 1.
    size_t Number() const { return number_; }

  private:
    // Takes the bytes up to the line end, and the line end; into `line` when one is given.
    LineRead Take(std::string* line);

    std::FILE* in_;
    size_t most_;
    size_t number_ = 0;
    bool passingOver_ = false;
    char block_[65536];
    size_t next_ = 0, end_ = 0;
};
