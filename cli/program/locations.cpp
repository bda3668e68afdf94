// Finding the language files: beside the program (where the build puts them), where the package
// puts them, or where the environment says.
#include "locations.h"

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The program's folder, or empty when /proc/self/exe cannot be read: a folder guessed from the
// current directory could hold anyone's files.
std::string ProgramFolder() {
    std::string program = ProgramPath();
    size_t slash = program.rfind('/');
    return slash == std::string::npos ? "" : program.substr(0, slash);
}

}  // namespace

std::string ProgramPath() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "velmora";
    }
    return std::string(path, length);
}

namespace {

// The files in `folder` whose names end in ".lng".
std::vector<std::string> LanguageFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    if (DIR* directory = opendir(folder.c_str())) {
        while (dirent* entry = readdir(directory)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lng") == 0) {
                files.push_back(folder + "/" + name);
            }
        }
        closedir(directory);
    }
    return files;
}

}  // namespace

std::vector<std::string> LanguageFiles() {
    std::vector<std::string> folders;
    std::string fromEnvironment = Environment("VELMORA_LNG_DIR");
    if (!fromEnvironment.empty()) {
        folders = {fromEnvironment};
    } else if (!ProgramFolder().empty()) {
        std::string folder = ProgramFolder();
        folders = {folder, folder + "/../lib/far2l/Plugins/velmora/plug"};
    }
    for (const std::string& folder : folders) {
        std::vector<std::string> files = LanguageFilesIn(folder);
        if (!files.empty()) {
            return files;
        }
    }
    return {};
}
