// Finding the language files. The build puts them beside the program, so a program run from the
// build tree needs no set-up; an installed copy finds them where the package puts them.
#include "locations.h"

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "lng_file.h"

namespace {

const char kDefaultLanguage[] = "English";

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
std::vector<std::string> LanguageFiles(const std::string& folder) {
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

std::string LanguageFilePath(std::string* searched) {
    std::vector<std::string> folders;
    std::string fromEnvironment = Environment("VELMORA_LNG_DIR");
    if (!fromEnvironment.empty()) {
        folders = {fromEnvironment};
    } else if (!ProgramFolder().empty()) {
        std::string folder = ProgramFolder();
        folders = {folder, folder + "/../lib/far2l/Plugins/velmora/plug"};
    }
    std::string language = Environment("VELMORA_LANGUAGE");
    if (language.empty()) {
        language = kDefaultLanguage;
    }
    // The first folder that holds language files is the one: the texts of a program and of the
    // module beside it must be of one version.
    for (const std::string& folder : folders) {
        std::vector<std::string> files = LanguageFiles(folder);
        if (files.empty()) {
            continue;
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
    *searched = folders.empty() ? "no folder (the program's own path cannot be read)" : "";
    for (const std::string& folder : folders) {
        *searched += (searched->empty() ? "" : " or ") + folder;
    }
    return "";
}
