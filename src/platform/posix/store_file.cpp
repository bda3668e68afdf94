// Judging a store's database file and its WAL files by their paths; see store_file.h.
#include "store_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fault_log.h"
#include "store_location.h"

namespace velmora::registry {

namespace {

// Records what makes `file`, found by lstat into `info`, unfit for the store; ERROR_SUCCESS when
// it is fit. SQLite opens none of the store's files through a link, so one cannot be opened; a
// link to the folder is followed.
LONG RefuseUnfit(int store, const std::string& file, const struct stat& info) {
    if (S_ISLNK(info.st_mode)) {
        return RecordFault(store, kStoreFaultCannotOpen, file,
                           "it is a symbolic link, which velmora does not follow",
                           "put the file itself there, or link its folder instead");
    }
    if (!S_ISREG(info.st_mode)) {
        return RecordFault(store, kStoreFaultNotOurs, file, "it is not a file", "move it aside");
    }
    std::string notOurs = NotTheUsersOwn(info);
    return notOurs.empty() ? ERROR_SUCCESS
                           : RecordFault(store, kStoreFaultNotOurs, file, notOurs,
                                         HowToMakeItTheUsersOwn(info, file));
}

// Renames `file` to the first of `file`.set-aside, `file`.set-aside-2, ... that is free, into
// `aside`; false with errno when it cannot be renamed (ENOENT: another process did it first).
bool SetAside(const std::string& file, std::string* aside) {
    for (int n = 1; n < 100; ++n) {
        std::string name = file + ".set-aside" + (n > 1 ? "-" + std::to_string(n) : "");
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
            *aside = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool FolderReadOnly(const std::string& file) {
    std::string folder = file.substr(0, file.rfind('/') + 1);
    struct stat info {};
    return ::stat(folder.c_str(), &info) != 0 || (info.st_mode & S_IWUSR) == 0 ||
           ::access(folder.c_str(), W_OK) != 0;
}

}  // namespace

LONG JudgeStoreFile(int store, const std::string& file, bool create, StoreFileState* state) {
    struct stat info {};
    state->present = ::lstat(file.c_str(), &info) == 0;
    if (!state->present && errno != ENOENT) {
        return RecordFault(store, kStoreFaultCannotOpen, file, std::strerror(errno));
    }
    // SQLite writes a new database's first page before it makes the WAL, so a WAL with data
    // beside a missing or empty file holds names that SQLite would throw away on opening.
    std::string wal = file + "-wal";
    struct stat walInfo {};
    if ((!state->present || info.st_size == 0) && ::lstat(wal.c_str(), &walInfo) == 0 &&
        walInfo.st_size > 0) {
        std::string found = "the file of " + NamesOf(store) + ", " + file + ", is " +
                            (state->present ? "empty" : "missing") + ", but " + wal +
                            " beside it holds their latest changes";
        if (store != kVelmoraVolatileStore) {
            return RecordFaultText(store, kStoreFaultDamaged,
                                   found + "; restore " + file +
                                       " from a backup, or move the folder " +
                                       file.substr(0, file.rfind('/')) +
                                       " aside to start anew and run `velmora import FILE` with "
                                       "an export of your names");
        }
        // The temporary names end at logoff anyway, and a folder cleaner that took the file
        // alone left them unreadable: the WAL is kept under another name, said once, and a new
        // store begins.
        std::string aside;
        if (!SetAside(wal, &aside) && errno != ENOENT) {
            return RecordFaultText(store, kStoreFaultDamaged,
                                   found +
                                       ", which cannot be moved aside: " + std::strerror(errno) +
                                       "; move " + wal + " aside to start them anew");
        }
        if (!aside.empty()) {
            RecordFaultText(
                store, kStoreFaultDamaged,
                found + ", which are kept in " + aside + "; your temporary names start anew");
        }
        return JudgeStoreFile(store, file, create, state);
    }
    if (!state->present && !create) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (state->present) {
        // An empty file of the user's own holds nothing yet; SecureOpenedFile makes it private.
        bool emptyOfOurs = S_ISREG(info.st_mode) && info.st_size == 0 && info.st_uid == geteuid();
        if (LONG status = emptyOfOurs ? ERROR_SUCCESS : RefuseUnfit(store, file, info);
            status != ERROR_SUCCESS) {
            return status;
        }
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        std::string beside = file + suffix;
        struct stat besideInfo {};
        LONG status = ::lstat(beside.c_str(), &besideInfo) != 0
                          ? ERROR_SUCCESS
                          : RefuseUnfit(store, beside, besideInfo);
        if (status != ERROR_SUCCESS) {
            return status;
        }
    }
    state->readOnly = (state->present && (info.st_mode & S_IWUSR) == 0) || FolderReadOnly(file);
    return !state->present && state->readOnly ? RecordReadOnly(store, file) : ERROR_SUCCESS;
}

LONG SecureOpenedFile(int store, const std::string& file, struct stat* info) {
    if (::lstat(file.c_str(), info) != 0) {
        return RecordFault(store, kStoreFaultCannotOpen, file, std::strerror(errno));
    }
    if (S_ISREG(info->st_mode) && info->st_size == 0 && info->st_uid == geteuid() &&
        (info->st_mode & 0777) != 0600 && ::chmod(file.c_str(), 0600) == 0) {
        info->st_mode = (info->st_mode & ~0777) | 0600;
    }
    return RefuseUnfit(store, file, *info);
}

LONG RecordReadOnly(int store, const std::string& file) {
    std::string folder = file.substr(0, file.rfind('/'));
    std::string cannot = "cannot change " + NamesOf(store) + ": ";
    struct statvfs disk {};
    struct stat info {};
    if (::statvfs((folder + "/").c_str(), &disk) == 0 && (disk.f_flag & ST_RDONLY) != 0) {
        return RecordFaultText(store, kStoreFaultReadOnly,
                               cannot + "the disk that holds " + file +
                                   " is mounted read-only; mount it for writing to change them");
    }
    if (::lstat(file.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) {
        return RecordFaultText(store, kStoreFaultReadOnly,
                               cannot + file + " is read-only; make it writable to change them: " +
                                   "chmod u+w " + file);
    }
    if (FolderReadOnly(file)) {
        return RecordFaultText(store, kStoreFaultReadOnly,
                               cannot + "their folder " + folder +
                                   " is read-only; make it writable to change them: chmod u+w " +
                                   folder);
    }
    return RecordFault(store, kStoreFaultReadOnly, file);
}

std::string WhyNoFileCanBeMade(const std::string& folder) {
    if (::access(folder.c_str(), W_OK) != 0) {
        return std::strerror(errno);
    }
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) != 0) {
        return "";
    }
    if ((disk.f_flag & ST_RDONLY) != 0) {
        return std::strerror(EROFS);
    }
    // A file system that counts no files (f_files 0) takes any number.
    bool noFileLeft = disk.f_files != 0 && disk.f_favail == 0;
    return noFileLeft || disk.f_bavail == 0 ? std::strerror(ENOSPC) : "";
}

}  // namespace velmora::registry
