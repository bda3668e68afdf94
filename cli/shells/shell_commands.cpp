// The shells' own commands as the shells list them (bash: compgen -b and -k; zsh: $builtins and
// $reswords; fish: builtin -n; ksh and busybox: builtin and help; dash's manual), each once. Words
// no prefix can be (".", "[[", "{") are left out; the functions fish ships (prevd) are found by
// the fish script itself, in the fish that loads it.
#include "shell_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "shell_init.h"
#include "visible_text.h"

namespace {

// Each between blanks, so that a search for " cd " finds only cd.
const char kShellCommands[] =
    " _ abbr alias and argparse autoload begin bg bind bindkey block break breakpoint builtin "
    "bye caller case cd chdir command commandline compadd comparguments compcall compctl "
    "compdescribe compfiles compgen compgroups complete compopt compound compquote compset "
    "comptags comptry compvalues contains continue coproc count declare dirs disable disown do "
    "done echo echotc echoti elif else emit emulate enable end enum esac eval exec exit export "
    "false fc fg fi float for foreach function functions getln getopts hash help hist history "
    "if in integer jobs kill let limit local log logout mapfile math nameref namespace "
    "nocorrect noglob not or path popd print printf private pushd pushln pwd r random read "
    "readarray readonly realpath redirect rehash repeat return sched select set set_color "
    "setopt shift shopt sleep source status stop string suspend switch test then time times "
    "trap true ttyctl type typeset ulimit umask unalias unfunction unhash unlimit unset "
    "unsetopt until vared wait whence where which while zcompile zformat zle zmodload "
    "zparseopts zregexparse zstyle ";

}  // namespace

bool IsShellCommand(const std::string& word) {
    return word.find(' ') == std::string::npos &&
           std::string(kShellCommands).find(" " + word + " ") != std::string::npos;
}

std::string ProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = std::min(folders.find(':', start), folders.size());
        // An empty entry is the current directory, as the shells read it.
        std::string folder = end > start ? folders.substr(start, end - start) : ".";
        std::string file = folder + "/" + name;
        struct stat status;
        if (stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            access(file.c_str(), X_OK) == 0) {
            return file;
        }
        start = end + 1;
    }
    return "";
}

PrefixVerdict JudgeChosenPrefix(const std::string& prefix) {
    PrefixVerdict verdict;
    std::string problem = PrefixProblem(prefix);
    verdict.refused = !problem.empty() || IsShellCommand(prefix);
    if (!problem.empty()) {
        verdict.problem =
            "\"" + VisibleText(prefix) + "\" cannot name the shell's command: " + problem;
    } else if (verdict.refused) {
        verdict.problem = prefix + " is a command of the shell itself, whose place the prefix's " +
                          "command would take";
    } else {
        std::string program = ProgramOnPath(prefix);
        if (!program.empty()) {
            verdict.problem = prefix + " is also the program " + VisibleText(program) +
                              ", which your shell would no longer run by that name";
        }
    }
    return verdict;
}
