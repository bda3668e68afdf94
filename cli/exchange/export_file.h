// The new file an export is written to, beside the file it replaces, which takes that file's
// place only once it is whole and on the disk. Nothing of it is left behind: it is removed when
// the export fails, when an interrupt, a hang-up or a request to end stops the program first,
// and, where the program was killed outright, by the next export into the same folder.
#pragma once

#include <cstdio>
#include <string>

class PendingExport {
  public:
    // Makes the file beside `path`, private to the user, after removing those that earlier
    // exports left in that folder: files of this program's naming, the user's own, older than
    // this run, and written by no process.
    explicit PendingExport(const std::string& path);
    // Removes the file unless it took its place.
    ~PendingExport();
    PendingExport(const PendingExport&) = delete;
    PendingExport& operator=(const PendingExport&) = delete;

    // The stream to write the export to; null when the file could not be made (errno says why).
    std::FILE* out() const { return out_; }
    // Puts the file, whole and on the disk, in the place of `path`; false with errno.
    bool Place();

  private:
    std::string path_;
    std::FILE* out_ = nullptr;
    bool placed_ = false;
};
