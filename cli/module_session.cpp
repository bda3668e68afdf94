// Starting the module and reading what its commands did. The host cannot see inside the
// module, so an add or a delete is judged by the panel's listing afterwards: the module says
// nothing about a failure while its error boxes are off, and the program must not report a
// name as stored when it is not.
#include "module_session.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "lng_file.h"
#include "locations.h"

namespace {

// The current directory as the shell names it: $PWD when it is this directory (so a path
// through a symbolic link is stored as the user sees it), else the physical one.
std::string CurrentDirectory() {
    char* path = get_current_dir_name();
    if (path == nullptr) {
        return "";
    }
    std::string directory = path;
    std::free(path);
    return directory;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return tail.size() <= text.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool SameListing(const std::vector<SimItem>& a, const std::vector<SimItem>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].attributes != b[i].attributes ||
            a[i].description != b[i].description) {
            return false;
        }
    }
    return true;
}

// Whether the listing holds what an add of `typed` for `directory` stores: the name, or for a
// name that carries a command (a colon at index 3 or later) its part behind the last colon,
// with a path that ends with the directory (the command goes in front of it).
bool HoldsAddedName(const std::vector<SimItem>& items, const std::string& typed,
                    const std::string& directory) {
    std::string name = typed;
    size_t colon = typed.rfind(':');
    if (colon != std::string::npos && colon >= 3) {
        name = typed.substr(colon + 1);
    }
    for (const SimItem& item : items) {
        bool filter = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!filter && !typed.empty() && strcasecmp(item.name.c_str(), name.c_str()) == 0 &&
            EndsWith(item.description, directory)) {
            return true;
        }
    }
    return false;
}

}  // namespace

ModuleSession::~ModuleSession() {
    if (host_ != nullptr) {
        host_->ClosePanel(host_->Active());
        host_->ClosePanel(host_->Passive());
    }
    host_.reset();
    module_.Unload();
}

bool ModuleSession::Start(FrontEnd* frontEnd, std::string* error) {
    std::string directory = CurrentDirectory();
    if (directory.empty()) {
        *error = "the current directory cannot be read";
        return false;
    }
    std::string searched;
    std::string languageFile = LanguageFilePath(&searched);
    std::vector<std::string> messages;
    if (languageFile.empty() || !LoadLanguageFile(languageFile, &messages, nullptr)) {
        *error = "no language file found in " + searched + " (set VELMORA_LNG_DIR)";
        return false;
    }
    std::string modulePath = ModulePath();
    std::string loadError;
    if (!module_.Load(modulePath, &loadError)) {
        *error =
            "cannot load the module " + modulePath + ": " + loadError + " (set VELMORA_MODULE)";
        return false;
    }
    host_ = std::make_unique<SimHost>(std::move(messages));
    // The module joins a name and a rest with '\'; the panels here take '/' paths.
    host_->slashPaths = true;
    host_->SetFrontEnd(frontEnd);
    host_->Active().curDir = directory;
    host_->Passive().curDir = directory;
    host_->AttachModule(&module_.exports);
    return true;
}

std::vector<SimItem> ModuleSession::Listing() {
    SimPanel& panel = host_->Active();
    host_->RunModuleCommand("");
    std::vector<SimItem> items = panel.items;
    host_->ClosePanel(panel);
    return items;
}

std::vector<std::string> ModuleSession::Names() {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const SimItem& item : Listing()) {
        if (seen.insert(item.name).second) {
            names.push_back(item.name);
        }
    }
    return names;
}

Outcome ModuleSession::Run(const std::string& text) {
    char command = text.empty() ? 0 : text[0];
    bool add = command == '+' || command == ':';
    bool remove = command == '-';
    std::vector<SimItem> before;
    if (remove) {
        before = Listing();
    }
    CallWatch watch(*host_);
    host_->RunModuleCommand(text);
    SimPanel& active = host_->Active();
    if (active.plugin != nullptr) {
        return {Outcome::kPanel, ""};
    }
    if (watch.Jumped(*host_)) {
        return {Outcome::kDirectory, active.curDir};
    }
    std::string executed = watch.Executed(*host_);
    if (!executed.empty()) {
        return {Outcome::kCommand, executed};
    }
    if (watch.ReportedError(*host_)) {
        return {Outcome::kFailed, ""};
    }
    if (add) {
        bool stored = HoldsAddedName(Listing(), text.substr(1), active.curDir);
        return {stored ? Outcome::kDone : Outcome::kFailed, ""};
    }
    if (remove) {
        return {SameListing(before, Listing()) ? Outcome::kFailed : Outcome::kDone, ""};
    }
    // A jump that went nowhere: the name is stored nowhere, or its menu was cancelled.
    return {Outcome::kFailed, ""};
}

bool ModuleSession::Configure() {
    return host_->Configure() != 0;
}
