// The module's rule, said in the program's words; see unreachable_names.h.
#include "unreachable_names.h"

#include "commands/name_rule.h"
#include "store/errors.h"

std::string WhyUnreachable(const std::string& name) {
    switch (CheckName(name.c_str())) {
        case ErrNameWithSeparator:
            return "a name holding / or \\, where a jump ends the name";
        case ErrNameBeginsWithCommand:
            return "a name beginning with +, : or -, which the command line reads as an add or a "
                   "delete";
        default:
            return "";
    }
}
