// The completion files of the velmora command: the scripts of this folder below the commands and
// options of the help (command_help.h) and the shells of init (shell_init.h), fixed words of ours,
// so that the completion, the help and init never disagree.
#include "command_completion.h"

#include "command_help.h"
#include "shell_scripts.h"

std::string CommandCompletionValues(Shell shell) {
    std::vector<std::string> words, summaries;
    for (const CommandHelp& command : Commands()) {
        words.push_back(command.word);
        summaries.push_back(command.summary);
    }
    if (shell == Shell::kFish) {
        // Read once, as the file is loaded: kept to it.
        return ScriptAssignments(shell,
                                 {{"_velmora_commands", words},
                                  {"_velmora_summaries", summaries},
                                  {"_velmora_shells", ShellNames()}},
                                 true);
    }
    // "--" may stand first too.
    words.push_back("--");
    return ScriptAssignments(shell,
                             {{"_velmora_commands", words}, {"_velmora_shells", ShellNames()}});
}

std::string CommandCompletionFile(Shell shell) {
    switch (shell) {
        case Shell::kZsh:
            return "#compdef velmora\n" + CommandCompletionValues(shell) +
                   ShellScriptFile("completion.zsh");
        case Shell::kFish:
            return CommandCompletionValues(shell) + ShellScriptFile("completion.fish");
        default:
            return CommandCompletionValues(shell) + ShellScriptFile("completion.bash");
    }
}

std::string CommandCompletionFileName(Shell shell) {
    switch (shell) {
        case Shell::kZsh:
            return "_velmora";
        case Shell::kFish:
            return "velmora.fish";
        default:
            return "velmora";
    }
}
