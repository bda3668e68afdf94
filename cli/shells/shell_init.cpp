// What every shell's script shares: which shells there are, which prefixes can name the command,
// quoting, the warnings, and the choice of script. Everything that comes from outside (the
// program's path, the prefix, stored names and paths) reaches a shell only quoted or as the value
// of a variable, never as code: a path that holds "$(...)" must stay a path.
#include "shell_init.h"

#include <cctype>

#include "shell_init_scripts.h"
#include "visible_text.h"

namespace {

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '.' ||
           c == ',' || c == '+' || c == '@' || c == '%' || c == '-';
}

}  // namespace

bool ParseShell(const std::string& name, Shell* shell) {
    static const struct {
        const char* name;
        Shell shell;
    } kShells[] = {
        {"bash", Shell::kBash}, {"zsh", Shell::kZsh}, {"fish", Shell::kFish}, {"sh", Shell::kSh}};
    for (const auto& known : kShells) {
        if (name == known.name) {
            *shell = known.shell;
            return true;
        }
    }
    return false;
}

std::string PrefixProblem(const std::string& prefix) {
    if (prefix.empty()) {
        return "it is empty";
    }
    unsigned char first = prefix[0];
    if (!std::isalpha(first) && first != '_') {
        return "it must begin with a letter or '_'";
    }
    for (char c : prefix) {
        if (!IsNameCharacter(c)) {
            return "it holds a character other than letters, digits and _ : . , + @ % -";
        }
    }
    // The generated code calls these itself: a function of that name would call itself, or
    // take the place of the wrapper or of zsh's completion set-up.
    if (prefix == "velmora" || prefix.compare(0, 8, "_velmora") == 0 || prefix == "compdef") {
        return "the shell integration uses that name itself";
    }
    return "";
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string BuiltinPrefixWarning(const std::string& prefix) {
    return "velmora: the prefix " + prefix +
           " is a command of the shell itself, so it was left alone; choose another with "
           "`velmora --configure`";
}

std::string RefusedPrefixWarning(const std::string& prefix, const std::string& problem) {
    return "velmora: the prefix \"" + VisibleText(prefix) + "\" cannot name a shell function (" +
           problem +
           "); choose another with `velmora --configure`, and until then type "
           "`_velmora_cd NAME`";
}

std::string ShellInitScript(Shell shell, const std::string& program, const std::string& prefix) {
    switch (shell) {
        case Shell::kFish:
            return FishScript(program, prefix);
        case Shell::kSh:
            return PosixScript(program, prefix);
        default:
            return BashZshScript(shell, program, prefix);
    }
}
