// The rule for the names an add stores; see name_rule.h.
#include "name_rule.h"

#include <cstring>

#include "jump_target.h"
#include "store/errors.h"

int CheckName(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return ErrEmptyName;
    }
    if (FirstSeparator(name) != nullptr) {
        return ErrNameWithSeparator;
    }
    // The dispatcher's command characters: the first character alone decides the command.
    bool command = name[0] == '+' || name[0] == ':' || name[0] == '-';
    if (command) {
        return ErrNameBeginsWithCommand;
    }
    return std::strpbrk(name, "?*") != nullptr ? ErrNameWithWildcard : 0;
}
