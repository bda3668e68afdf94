// The module's jump road for a name that is stored, step for step: the name ends at the first
// '/' or '\', temporary names come first, the rest is joined with a backslash, a target with a
// command for the file manager is left to the module, and far2l's form of the path is shown.
#include "stored_jump.h"

#include "host/far2l_paths.h"
#include "store/name_store.h"
#include "store/text_buffer.h"
#include "store_fault.h"

bool StoredDirectory(const std::string& text, std::string* directory) {
    if (text.empty() || text[0] == '+' || text[0] == ':' || text[0] == '-') {
        return false;
    }
    size_t separator = text.find_first_of("/\\");
    TextBuffer target;
    if (LookupName(text.substr(0, separator).c_str(), target) != 1 || !StoreFaults().empty()) {
        return false;
    }
    std::string joined = target.Text();
    if (separator != std::string::npos) {
        joined += "\\" + text.substr(separator + 1);
    }
    if (PluginCommandPos(joined.c_str()) != 0) {
        return false;
    }
    *directory = Far2lPath(joined.c_str());
    return true;
}
