// Finding the module, its language files and the screen library. The build compiles its own
// paths in, so a program run from the build tree needs no set-up; an installed copy finds its
// files where the package puts them.
#include "locations.h"

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "lng_file.h"

namespace {

const char kModuleFile[] = "Velmora.far-plug-mb";
const char kScreenLibraryFile[] = "velmora-curses.so";
const char kDefaultLanguage[] = "English";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool IsFile(const std::string& path) {
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

std::string ProgramFolder() {
    std::string program = ProgramPath();
    size_t slash = program.rfind('/');
    return slash == std::string::npos ? "." : program.substr(0, slash);
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

std::string ModulePath() {
    std::string fromEnvironment = Environment("VELMORA_MODULE");
    if (!fromEnvironment.empty()) {
        return fromEnvironment;
    }
    std::string folder = ProgramFolder();
    for (const std::string& candidate :
         {folder + "/" + kModuleFile,
          folder + "/../lib/far2l/Plugins/velmora/plug/" + kModuleFile}) {
        if (IsFile(candidate)) {
            return candidate;
        }
    }
    return VELMORA_BUILD_MODULE;
}

std::string ScreenLibraryPath() {
    std::string folder = ProgramFolder();
    for (const std::string& candidate :
         {folder + "/" + kScreenLibraryFile, folder + "/../lib/velmora/" + kScreenLibraryFile}) {
        if (IsFile(candidate)) {
            return candidate;
        }
    }
    return VELMORA_BUILD_SCREEN_LIBRARY;
}

std::string LanguageFilePath(const std::string& modulePath, std::string* searched) {
    std::string folder = Environment("VELMORA_LNG_DIR");
    if (folder.empty()) {
        size_t slash = modulePath.rfind('/');
        folder = slash == std::string::npos ? "." : modulePath.substr(0, slash);
    }
    std::string language = Environment("VELMORA_LANGUAGE");
    if (language.empty()) {
        language = kDefaultLanguage;
    }
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
    for (const std::string& file : files) {
        std::vector<std::string> messages;
        std::string id;
        if (LoadLanguageFile(file, &messages, &id) && id == language) {
            return file;
        }
    }
    *searched = folder;
    return "";
}
