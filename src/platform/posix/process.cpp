// Starting processes on POSIX. The module starts one program: the file browser on a directory,
// with `explorer "<path>"`, for which the desktop's browser stands (xdg-open, or the program
// named by VELMORA_FILE_BROWSER). It is run directly, never through a shell, so nothing in a
// stored path can become a command, and detached: nobody waits for it.
#include <fcntl.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "../file_browser.h"
#include "windows_api.h"

namespace {

// The path of the module's `explorer "<path>"`. A Windows path cannot hold a quotation mark but
// a Linux one can: the path is taken whole from between the first mark and the last one. False
// for any other command line.
bool BrowserTarget(const char* line, std::string* path) {
    static const char kBrowser[] = "explorer ";
    if (line == nullptr || ::strncasecmp(line, kBrowser, sizeof kBrowser - 1) != 0) {
        return false;
    }
    std::string rest(line + sizeof kBrowser - 1);
    size_t first = rest.find_first_not_of(" \t");
    if (first == std::string::npos || rest[first] != '"' || rest.size() - first < 2 ||
        rest.back() != '"') {
        return false;
    }
    *path = rest.substr(first + 1, rest.size() - first - 2);
    return true;
}

// Runs `program` with `argument` in a grandchild in its own session and reports whether exec
// succeeded.
bool StartDetached(const char* program, const std::string& argument) {
    char* const argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
    int status_pipe[2];
    if (::pipe2(status_pipe, O_CLOEXEC) != 0) {
        return false;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execvp(program, argv);
        }
        // Reached by a grandchild whose exec failed, and by a child that could not make one.
        if (grandchild <= 0) {
            int error = errno;
            (void)!::write(status_pipe[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(status_pipe[1]);
    bool started = false;
    if (child > 0) {
        ::waitpid(child, nullptr, 0);
        int error;
        // The pipe closes without data exactly when exec succeeded.
        started = ::read(status_pipe[0], &error, sizeof error) == 0;
    }
    ::close(status_pipe[0]);
    return started;
}

}  // namespace

// Any other program, or a program named apart from its command line, is refused: the module
// starts none.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                    LPSTARTUPINFOA lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation) {
    std::string path;
    if (lpApplicationName != nullptr || lpStartupInfo == nullptr ||
        lpProcessInformation == nullptr || !BrowserTarget(lpCommandLine, &path) ||
        !StartDetached(VelmoraFileBrowser(), path)) {
        return FALSE;
    }
    *lpProcessInformation = PROCESS_INFORMATION{nullptr, nullptr, 0, 0};
    return TRUE;
}

const char* VelmoraFileBrowser() {
    const char* browser = std::getenv("VELMORA_FILE_BROWSER");
    return browser != nullptr && *browser != '\0' ? browser : "xdg-open";
}

int VelmoraFileBrowserFound() {
    // As execvp looks for it: a name with a slash is a path, any other is looked for in PATH.
    std::string browser = VelmoraFileBrowser();
    if (browser.find('/') != std::string::npos) {
        return ::access(browser.c_str(), X_OK) == 0;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        end = end == std::string::npos ? folders.size() : end;
        std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (::access((folder + "/" + browser).c_str(), X_OK) == 0) {
            return 1;
        }
        start = end + 1;
    }
    return 0;
}

BOOL CloseHandle(HANDLE) {
    return TRUE;
}
