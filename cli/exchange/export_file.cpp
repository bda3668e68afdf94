// The file an export is written to until it takes its place; see export_file.h. Whether a
// process still writes one is told by the lock it holds on it for as long as it has it open.
#include "export_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iterator>
#include <string_view>

namespace {

constexpr char kPrefix[] = ".velmora-export-";
// mkostemp's six characters follow the prefix.
constexpr size_t kNameSize = sizeof kPrefix - 1 + 6;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The file being written, for the signal handler, which may not allocate: one export at a time.
char pendingName[PATH_MAX + sizeof kPrefix];
volatile sig_atomic_t pending = 0;
struct sigaction previous[std::size(kEndingSignals)];
bool handled[std::size(kEndingSignals)];

extern "C" void RemovePending(int signal) {
    if (pending) {
        ::unlink(pendingName);
    }
    // The handler was reset to the default as it ran: raised again, the signal ends the program
    // as it would have, once this returns.
    ::raise(signal);
}

bool Before(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Removes the files that exports into `folder` ("" for the current one) left behind: a
// killed export's, which nothing else ever removes.
void RemoveLeftBehind(const std::string& folder, const struct timespec& since) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return;
    }
    int at = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() != kNameSize || name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) {
            continue;
        }
        int fd = ::openat(at, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat info {
        }, now{};
        bool leftBehind = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                          info.st_uid == ::geteuid() && Before(info.st_mtim, since) &&
                          ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                          ::fstatat(at, entry->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                          now.st_dev == info.st_dev && now.st_ino == info.st_ino;
        if (leftBehind) {
            ::unlinkat(at, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

// Signals that the user has the program ignore (nohup, a background job) stay ignored.
void HandleEndingSignals() {
    struct sigaction action {};
    action.sa_handler = RemovePending;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kEndingSignals); ++i) {
        handled[i] = ::sigaction(kEndingSignals[i], nullptr, &previous[i]) == 0 &&
                     previous[i].sa_handler != SIG_IGN &&
                     ::sigaction(kEndingSignals[i], &action, nullptr) == 0;
    }
}

void RestoreEndingSignals() {
    for (size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (handled[i]) {
            ::sigaction(kEndingSignals[i], &previous[i], nullptr);
            handled[i] = false;
        }
    }
}

}  // namespace

PendingExport::PendingExport(const std::string& path) : path_(path) {
    struct timespec since {};
    ::clock_gettime(CLOCK_REALTIME, &since);
    std::string folder = path.substr(0, path.rfind('/') + 1);
    RemoveLeftBehind(folder, since);
    std::string name = folder + kPrefix + "XXXXXX";
    if (name.size() >= sizeof pendingName) {
        errno = ENAMETOOLONG;
        return;
    }
    // The signals wait while the file is made: the handler must never remove a name that
    // mkostemp tried and found another process's file at.
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int signal : kEndingSignals) {
        sigaddset(&ending, signal);
    }
    ::sigprocmask(SIG_BLOCK, &ending, &before);
    std::memcpy(pendingName, name.c_str(), name.size() + 1);
    int fd = ::mkostemp(pendingName, O_CLOEXEC);
    int error = errno;
    if (fd >= 0) {
        // Held until the file is closed: a later export leaves a file that is still written.
        ::flock(fd, LOCK_EX);
        pending = 1;
        HandleEndingSignals();
        out_ = ::fdopen(fd, "w");
        if (out_ == nullptr) {
            error = errno;
            ::close(fd);
        }
    }
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    errno = error;
}

PendingExport::~PendingExport() {
    if (out_ != nullptr && !placed_) {
        std::fclose(out_);
    }
    if (pending) {
        ::unlink(pendingName);
        pending = 0;
    }
    RestoreEndingSignals();
}

bool PendingExport::Place() {
    int fd = ::fileno(out_);
    placed_ = ::fchmod(fd, 0600) == 0 && std::fflush(out_) == 0 && !std::ferror(out_) &&
              ::fsync(fd) == 0 && std::rename(pendingName, path_.c_str()) == 0;
    if (!placed_) {
        return false;
    }
    pending = 0;
    // What it holds is on the disk already; closing it lets go of its lock.
    std::fclose(out_);
    return true;
}
