// Paths as far2l takes them; see far2l_paths.h.
#include "far2l_paths.h"

#include <sys/stat.h>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string Far2lPath(const char* path) {
    std::string result(path);
    if (result.find('\\') == std::string::npos || IsDirectory(result)) {
        return result;
    }
    std::string converted;
    for (char c : result) {
        char next = c == '\\' ? '/' : c;
        // "/" joined with "\src" would give "//src", which far2l shows as it is.
        if (next == '/' && !converted.empty() && converted.back() == '/') {
            continue;
        }
        converted += next;
    }
    return converted;
}
