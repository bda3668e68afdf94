// Finding the module and the language files. The build compiles its own paths in, so a program
// run from the build tree needs no set-up; an installed copy finds its files beside itself.
#include "locations.h"

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "lng_file.h"

namespace {

const char kModuleFile[] = "Velmora.so";
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
         {folder + "/" + kModuleFile, folder + "/../lib/velmora/" + kModuleFile}) {
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

std::string LanguageFilePath(std::string* searched) {
    std::vector<std::string> folders;
    std::string fromEnvironment = Environment("VELMORA_LNG_DIR");
    if (!fromEnvironment.empty()) {
        folders.push_back(fromEnvironment);
    } else {
        folders.push_back(ProgramFolder() + "/../share/velmora");
        folders.push_back(VELMORA_SOURCE_LNG_DIR);
    }
    std::string language = Environment("VELMORA_LANGUAGE");
    if (language.empty()) {
        language = kDefaultLanguage;
    }
    for (const std::string& folder : folders) {
        DIR* directory = opendir(folder.c_str());
        if (directory == nullptr) {
            continue;
        }
        std::vector<std::string> files;
        while (dirent* entry = readdir(directory)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lng") == 0) {
                files.push_back(folder + "/" + name);
            }
        }
        closedir(directory);
        for (const std::string& file : files) {
            std::vector<std::string> messages;
            std::string id;
            if (LoadLanguageFile(file, &messages, &id) && id == language) {
                return file;
            }
        }
    }
    *searched = folders.front();
    for (size_t i = 1; i < folders.size(); ++i) {
        *searched += " or " + folders[i];
    }
    return "";
}
