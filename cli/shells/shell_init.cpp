// What every shell's script shares: which shells there are, which prefixes can name the command,
// quoting, the warnings, and the script for each shell: its files (shell_scripts.h) below the
// values the program fills in. Everything that comes from outside (the program's path, the
// prefix, stored names and paths) reaches a shell only quoted or as the value of a variable,
// never as code: a path that holds "$(...)" must stay a path.
#include "shell_init.h"

#include <cctype>

#include "command_completion.h"
#include "shell_scripts.h"
#include "visible_text.h"

namespace {

// Each shell, how its start-up file loads the script, and the files the script is made of.
const struct ShellFiles {
    const char* name;
    Shell shell;
    const char* load;
    const char* script;
    const char* completion;
} kShellFiles[] = {
    {"bash", Shell::kBash, "eval \"$(velmora init bash)\"", "velmora.bash", "completion.bash"},
    {"zsh", Shell::kZsh, "eval \"$(velmora init zsh)\"", "velmora.bash", "completion.zsh"},
    {"fish", Shell::kFish, "velmora init fish | source", "velmora.fish", "completion.fish"},
    {"sh", Shell::kSh, "eval \"$(velmora init sh)\"", "velmora.sh", nullptr},
};

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '.' ||
           c == ',' || c == '+' || c == '@' || c == '%' || c == '-';
}

// Said when the prefix is a command of the shell itself and was left alone.
std::string BuiltinPrefixWarning(const std::string& prefix) {
    return "velmora: the prefix " + prefix +
           " is a command of the shell itself, so it was left alone; choose another with "
           "`velmora --configure`";
}

// Said when the prefix cannot name the command; `problem` says why.
std::string RefusedPrefixWarning(const std::string& prefix, const std::string& problem) {
    return "velmora: the prefix \"" + VisibleText(prefix) + "\" cannot name a shell function (" +
           problem +
           "); choose another with `velmora --configure`, and until then type "
           "`_velmora_cd NAME`";
}

// Said by a POSIX shell that does not run the alias of the prefix.
std::string LabelPrefixWarning(const std::string& prefix) {
    return "velmora: this shell does not run the prefix " + prefix +
           " as a command (ksh reads a word ending in ':' as a label); choose one of letters, "
           "digits and _ with `velmora --configure`, and until then type `_velmora_cd NAME`";
}

}  // namespace

bool ParseShell(const std::string& name, Shell* shell) {
    for (const ShellFiles& known : kShellFiles) {
        if (name == known.name) {
            *shell = known.shell;
            return true;
        }
    }
    return false;
}

std::vector<std::string> ShellNames() {
    std::vector<std::string> names;
    for (const ShellFiles& known : kShellFiles) {
        names.push_back(known.name);
    }
    return names;
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
    // The scripts call these themselves: a function of that name would call itself, or
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

std::string ShellInitScript(Shell shell, const std::string& program, const std::string& prefix) {
    const ShellFiles* files = kShellFiles;
    while (files->shell != shell) {
        ++files;
    }
    // The prefix is given only when it can name the command, and then the script says why not
    // if the shell has a command of that name itself; otherwise it says why it was refused.
    std::string problem = PrefixProblem(prefix);
    std::vector<std::string> name;
    std::string refusal, builtin;
    if (problem.empty()) {
        name.push_back(prefix);
        builtin = BuiltinPrefixWarning(prefix);
    } else {
        refusal = RefusedPrefixWarning(prefix, problem);
    }
    ScriptValues values = {{"_velmora_program", {program}},
                           {"_velmora_new", name},
                           {"_velmora_refusal", {refusal}},
                           {"_velmora_builtin_warning", {builtin}}};
    if (shell == Shell::kBash || shell == Shell::kZsh) {
        values.push_back({"_velmora_shell", {files->name}});
    } else if (shell == Shell::kSh) {
        values.push_back({"_velmora_label_warning", {LabelPrefixWarning(prefix)}});
    }
    std::string script = std::string("# velmora for ") + files->name + ": load it with  " +
                         files->load + "\n" + ScriptAssignments(shell, values);
    if (files->completion == nullptr) {
        return script + ShellScriptFile(files->script);
    }
    return script + CommandCompletionValues(shell) + ShellScriptFile(files->script) +
           ShellScriptFile(files->completion);
}
