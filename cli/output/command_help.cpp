// The help texts. Each paragraph is one line here and is wrapped to a terminal of 80 columns
// when it is printed, after the prefix is put in; a line that begins with two blanks is a line
// of a table and is kept as it stands.
#include "command_help.h"

#include <algorithm>

namespace {

const std::vector<CommandHelp> kCommands = {
    {"init", "bash|zsh|fish|sh", "print the shell integration, for the start-up file",
     "It defines the command named after the prefix ({prefix}), with Tab completion in bash, "
     "zsh and fish. Load it from the shell's start-up file; the test in front keeps the shell "
     "starting cleanly once velmora is removed:\n"
     "  ~/.bashrc     command -v velmora >/dev/null && eval \"$(velmora init bash)\"\n"
     "  ~/.zshrc      the same with init zsh, after compinit\n"
     "  config.fish   command -q velmora; and velmora init fish | source\n"
     "  $ENV          the bash line with init sh, for dash, ksh and busybox sh\n"
     "The POSIX shells have no completion, and ksh reads a word ending in ':' as a label: "
     "there, choose a prefix without one, such as j.\n"},
    {"list", "", "the names, their directories and the filters",
     "Each name with its directory and what was found there: temporary (a temporary name), "
     "command (a command for the file manager), gone (the directory no longer exists), "
     "unreachable (out of reach: a disk away, a link that dangles); then the filters with "
     "their patterns. At a terminal each line fits its width; piped, the fields are whole, "
     "separated by tabs.\n"},
    {"check", "", "the names in doubt: directory gone, no jump, look-alike",
     "The names whose directory is gone or out of reach, those no jump reaches (the panel "
     "reaches them), and names that look like another; exit status 1 when there are any. "
     "Targets that are commands for the file manager are shown too, marked command.\n"},
    {"prune", "[--yes] [--unreachable]", "delete the names whose directory is gone",
     "After one question, deletes the names whose directory is gone: missing while the folder "
     "above it is there and can be read. --yes deletes without asking (for scripts); "
     "--unreachable deletes those out of reach too (a disk away, a link that dangles). One "
     "name is deleted with {prefix} -NAME.\n"},
    {"export", "[--salvage] [FILE]", "write the names, filters and settings to a file",
     "Writes every name, temporary name, filter and setting, as text that import reads back, "
     "to FILE or to standard output. FILE, private to you, takes the export only once it is "
     "whole and on the disk: when the names cannot be read or the disk is full, FILE is left "
     "as it was. --salvage saves what can still be read of a damaged file of names, and says "
     "how much could not be.\n"},
    {"import", "[--replace] [--from wd|bashmarks] FILE",
     "read an export back, or the bookmarks of wd or bashmarks",
     "Reads an export of velmora (FILE - reads standard input). Names stored already keep "
     "their directories unless --replace; a setting still at its default takes the export's. "
     "--from wd reads wd's ~/.warprc, --from bashmarks "
     "the ~/.sdirs of bashmarks. An entry that cannot be stored is said with its line and "
     "skipped (exit status 1); a file that cannot be read stores nothing.\n"},
    {"--configure", "", "the settings: the prefix, error messages, completion",
     "A dialog on the terminal. The prefix names the shell's command: a letter or _, then "
     "letters, digits and _ : . , + @ % -. A command of the shell itself (cd, echo) is "
     "refused, and the name of a program (ls) is taken once you confirm. Through the shell "
     "integration the command follows a new prefix at once.\n"},
    {"--prefix", "", "print the prefix, the name of the shell's command",
     "In a shell the prefix is a command with a blank behind it ({prefix} proj); in the "
     "command line of far2l and Far it is typed joined to the text (cd:proj).\n"},
    {"--names", "[PREFIX]", "the names, one per line, for the shells' completion",
     "With PREFIX only those that begin with it, ASCII letter case ignored. A PREFIX NAME/PART "
     "gives the folders below NAME's directory that begin with PART, as NAME/FOLDER/. The "
     "word behind --names is always the PREFIX, whatever it looks like: --help too.\n"},
    {"--names-with-directories", "[PREFIX]", "the same, each with a tab and its directory",
     "What fish shows beside each name; a filter has its pattern there. The word behind it is "
     "always the PREFIX, as for --names.\n"},
    {"help", "[COMMAND]", "this help, or more about one command",
     "velmora COMMAND --help says the same.\n"},
    {"--version", "", "print the version", ""},
};

// The forms of the text behind the shell's command.
const struct {
    const char* text;
    const char* meaning;
} kShellForms[] = {
    {":NAME", "store the current directory as the permanent name NAME"},
    {"+NAME", "store it as a temporary name, forgotten when you log off"},
    {"NAME", "go to NAME's directory; NAME/src goes to src below it"},
    {"PART", "go to the one name beginning with PART, or choose in a menu"},
    {"-NAME", "delete the name"},
    {"-", "go back to the previous directory, as cd - does"},
    {"/etc, ~, ..", "go to a path beginning with /, ~ or . (a stored name first)"},
    {"", "the panel of names, full-screen (F1 there lists its keys)"},
};

const size_t kColumns = 80;

std::string WithPrefix(std::string text, const std::string& prefix) {
    const std::string token = "{prefix}";
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at)) {
        text.replace(at, token.size(), prefix);
        at += prefix.size();
    }
    return text;
}

// The lines of `text` wrapped at blanks to fit kColumns, except those of a table.
std::string Wrapped(const std::string& text) {
    std::string wrapped;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        while (line.size() >= kColumns && line.compare(0, 2, "  ") != 0) {
            size_t blank = line.rfind(' ', kColumns - 1);
            if (blank == std::string::npos || blank == 0) {
                break;
            }
            wrapped += line.substr(0, blank) + "\n";
            line.erase(0, blank + 1);
        }
        wrapped += line + "\n";
        start = end + 1;
    }
    return wrapped;
}

std::string Padded(std::string text, size_t width) {
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

}  // namespace

const std::vector<CommandHelp>& Commands() {
    return kCommands;
}

const CommandHelp* FindCommand(const std::string& word) {
    for (const CommandHelp& command : kCommands) {
        std::string own = command.word;
        if (word == own || (own.compare(0, 2, "--") == 0 && word == own.substr(2))) {
            return &command;
        }
    }
    return word == "--help" || word == "-h" ? FindCommand("help") : nullptr;
}

std::string CommandHelpText(const CommandHelp& command, const std::string& prefix) {
    std::string usage = std::string("usage: velmora ") + command.word;
    if (*command.arguments != '\0') {
        usage += std::string(" ") + command.arguments;
    }
    std::string text = usage + "\n  " + command.summary + "\n";
    if (*command.details != '\0') {
        text += "\n" + Wrapped(WithPrefix(command.details, prefix));
    }
    return text;
}

std::string OverviewHelpText(const std::string& prefix) {
    std::string text = "usage: " + prefix +
                       " TEXT      in your shell, once it loads velmora init's integration\n"
                       "       velmora COMMAND\n\n" +
                       Wrapped("Velmora keeps names for directories. In a shell the command " +
                               prefix + ", with a blank behind it, takes:");
    size_t width = prefix.size() + 14;
    for (const auto& form : kShellForms) {
        std::string typed = prefix + (*form.text != '\0' ? " " : "") + form.text;
        text += "  " + Padded(typed, width) + form.meaning + "\n";
    }
    text +=
        "Tab completes the names, and behind NAME/ the folders below its directory.\n\n"
        "The commands (velmora help COMMAND, or velmora COMMAND --help, says more):\n";
    text += "  " + Padded("velmora", 21) + "the panel of names, as " + prefix + " alone\n";
    for (const CommandHelp& command : kCommands) {
        if (std::string(command.word) != "--names-with-directories") {
            text +=
                "  " + Padded(std::string("velmora ") + command.word, 21) + command.summary + "\n";
        }
    }
    return text + "\n" +
           Wrapped("Without the shell's command, velmora TEXT does what " + prefix +
                   " TEXT does and prints the directory to go to. A word beginning with - is an "
                   "option: velmora -- -NAME deletes a name, and velmora -- TEXT takes a text "
                   "that looks like an option or a command. Exit status: 0 done, 1 not found or "
                   "not done, 2 cannot start or wrong usage, 3 the target is a command for the "
                   "file manager (printed), 4 your names could not be read or written (said on "
                   "standard error).");
}
