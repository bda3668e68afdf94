// Starting processes on POSIX. A Windows command line is split into arguments and the program
// is run directly, never through a shell, so nothing in a stored path can become a command.
// "explorer", the Windows file browser, stands for the desktop's one (xdg-open, or the program
// named by VELMORA_FILE_BROWSER). The program is detached: nobody waits for it.
#include <fcntl.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "../file_browser.h"
#include "windows_api.h"

namespace {

// Splits a command line at blanks outside quotation marks; the marks themselves are dropped.
std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, inArgument = false;
    for (const char* p = line; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (inArgument) {
                arguments.push_back(current);
            }
            current.clear();
            inArgument = false;
        } else {
            current += *p;
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

// The module opens a directory with `explorer "<path>"`. A Windows path cannot hold a quotation
// mark but a Linux one can, and splitting would then cut or merge it: the path is taken whole
// from between the first mark and the last one. False for any other command line.
bool SplitBrowserCommand(const char* line, std::vector<std::string>& arguments) {
    static const char kBrowser[] = "explorer ";
    if (::strncasecmp(line, kBrowser, sizeof kBrowser - 1) != 0) {
        return false;
    }
    std::string rest(line + sizeof kBrowser - 1);
    size_t first = rest.find_first_not_of(" \t");
    if (first == std::string::npos || rest[first] != '"' || rest.size() - first < 2 ||
        rest.back() != '"') {
        return false;
    }
    arguments = {"explorer", rest.substr(first + 1, rest.size() - first - 2)};
    return true;
}

// Runs the program in a grandchild in its own session and reports whether exec succeeded.
bool StartDetached(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    int status_pipe[2];
    if (::pipe2(status_pipe, O_CLOEXEC) != 0) {
        return false;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execvp(argv[0], argv.data());
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

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                    LPSTARTUPINFOA lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation) {
    if (lpStartupInfo == nullptr || lpProcessInformation == nullptr) {
        return FALSE;
    }
    const char* line = lpCommandLine ? lpCommandLine : "";
    std::vector<std::string> arguments;
    if (lpApplicationName != nullptr || !SplitBrowserCommand(line, arguments)) {
        arguments = SplitCommandLine(line);
    }
    if (lpApplicationName != nullptr) {
        arguments.insert(arguments.begin(), lpApplicationName);
    }
    if (arguments.empty()) {
        return FALSE;
    }
    if (::strcasecmp(arguments[0].c_str(), "explorer") == 0) {
        arguments[0] = VelmoraFileBrowser();
    }
    if (!StartDetached(arguments)) {
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

BOOL DisableThreadLibraryCalls(HMODULE) {
    return TRUE;
}
