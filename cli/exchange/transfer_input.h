// The input of `velmora import`, read one line at a time within bounds: on a line's length, so
// that a line is never held beyond it, and on the whole input, since an import holds the entries
// it reads until it stores them all at once. An endless input (a device of zeros, an endless
// pipe) is refused once it passes one of the bounds.
#pragma once

#include <cstdio>
#include <string>

// The longest line an import reads: far more than an entry the store takes needs, escaped (a
// name of 16,383 bytes and a path of 4,095, each byte written as four, are 82 KB). A longer line
// is no export's or bookmark file's, and refuses the input.
constexpr size_t kMaxImportLine = 1 << 20;
// The most lines and bytes an import reads, far more than the largest store a person keeps (an
// export of 10,000 names is about a megabyte); they bound the memory and the time it takes.
constexpr size_t kMaxImportLines = 1000000;
constexpr size_t kMaxImportBytes = 64 << 20;
// An input with this many lines that cannot be read is no such file: the import stops there, so
// that reading an endless one ends at once.
constexpr size_t kMaxBadLines = 20;

enum class LineRead {
    kLine,
    // The input ended.
    kEnd,
    // The line holds more bytes than kMaxImportLine. Read no further.
    kTooLong,
    // The input goes on past kMaxImportLines or kMaxImportBytes. Read no further.
    kTooMuch,
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
    explicit LineReader(std::FILE* in) : in_(in) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its line end ("\n", or "\r\n" from another system), the first one
    // without a UTF-8 byte-order mark.
    LineRead Next(std::string* line);
    // The number of the line the last call was about, counting from 1.
    size_t Number() const { return number_; }

  private:
    // Takes the bytes up to the line end, and the line end, into `line`.
    LineRead Take(std::string* line);

    std::FILE* in_;
    size_t number_ = 0;
    // The bytes of the lines taken, line ends included.
    size_t taken_ = 0;
    char block_[65536];
    size_t next_ = 0, end_ = 0;
};
