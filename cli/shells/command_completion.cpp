// The completion files of the velmora command. The stored names come from the same
// _velmora_complete as in the shell integration, so they are quoted the same way; the commands
// and options are the help's (command_help.h), fixed words of ours, safe to hand to compgen.
#include "command_completion.h"

#include "command_help.h"
#include "shell_init_scripts.h"

namespace {

const char kShells[] = "bash zsh fish sh";

// The commands and options, and "--", which may stand first.
std::string FirstWords() {
    std::string words;
    for (const CommandHelp& command : Commands()) {
        words += std::string(command.word) + " ";
    }
    return words + "--";
}

std::string Header(const char* comment) {
    return std::string(comment) +
           " completion of the velmora command: its commands and options, the shells of init,\n" +
           comment + " files, and the stored names\n";
}

// The body of the completion function, which the file is.
std::string ZshCommandBody() {
    return R"SH(
if (( CURRENT == 2 )); then
    _velmora_complete
    compadd -- )SH" +
           FirstWords() + R"SH(
    return
fi
case $words[2]:$CURRENT in
    init:3) compadd -- )SH" +
           kShells + R"SH( ;;
    help:3) compadd -- )SH" +
           FirstWords() + R"SH( ;;
    prune:*) compadd -- --yes --unreachable ;;
    export:3 | import:*)
        if [[ $words[CURRENT-1] == --from ]]; then
            compadd -- wd bashmarks
        elif [[ $words[2] == import && $PREFIX == -* ]]; then
            compadd -- --replace --from
        else
            _files
        fi ;;
esac
)SH";
}

// Each command and option with what it does beside it.
std::string FishCommandLines() {
    std::string lines = R"FISH(complete -c velmora -f
complete -c velmora -n __fish_is_first_arg -a '(_velmora_complete)'
)FISH";
    std::string commands;
    for (const CommandHelp& command : Commands()) {
        std::string word = command.word;
        bool option = word.compare(0, 2, "--") == 0;
        lines += "complete -c velmora -n __fish_is_first_arg " +
                 (option ? "-l " + word.substr(2) : "-a " + word) + " -d " +
                 FishQuote(command.summary) + "\n";
        commands += (commands.empty() ? "" : " ") + word;
    }
    return lines + "complete -c velmora -n '__fish_seen_subcommand_from init' -a '" + kShells +
           "'\ncomplete -c velmora -n '__fish_seen_subcommand_from help' -a '" + commands +
           R"FISH('
complete -c velmora -n '__fish_seen_subcommand_from prune' -l yes
complete -c velmora -n '__fish_seen_subcommand_from prune' -l unreachable
complete -c velmora -n '__fish_seen_subcommand_from export import' -F
complete -c velmora -n '__fish_seen_subcommand_from import' -l replace
complete -c velmora -n '__fish_seen_subcommand_from import' -l from -x -a 'wd bashmarks'
)FISH";
}

}  // namespace

// `import --from` takes the name of a bookmark tool, other words of export and import are files,
// help takes a command, and a text (the first word) may be a stored name.
std::string BashCommandCompletion() {
    return R"SH(
_velmora_command() {
    local word=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        _velmora_complete
        COMPREPLY+=($(compgen -W ')SH" +
           FirstWords() + R"SH(' -- "$word"))
        return
    fi
    case ${COMP_WORDS[1]}:$COMP_CWORD in
        init:2) COMPREPLY=($(compgen -W ')SH" +
           kShells + R"SH(' -- "$word")) ;;
        help:2) COMPREPLY=($(compgen -W ')SH" +
           FirstWords() + R"SH(' -- "$word")) ;;
        prune:*) COMPREPLY=($(compgen -W '--yes --unreachable' -- "$word")) ;;
        export:2 | import:*)
            if [ "$previous" = --from ]; then
                COMPREPLY=($(compgen -W 'wd bashmarks' -- "$word"))
            elif [[ ${COMP_WORDS[1]}$word == import-* ]]; then
                COMPREPLY=($(compgen -W '--replace --from' -- "$word"))
            else
                compopt -o filenames
                mapfile -t COMPREPLY < <(compgen -f -- "$word")
            fi ;;
    esac
}
complete -F _velmora_command velmora
)SH";
}

std::string ZshCommandCompletion() {
    return "\n_velmora_command() {" + ZshCommandBody() +
           "}\n(( ${+functions[compdef]} )) && compdef _velmora_command velmora\n";
}

std::string FishCommandCompletion() {
    // A completion file installed with the package says the same, and fish loads it itself for
    // the first completion of velmora; without one, the lines are given here, in place of those a
    // former load of the script gave.
    return R"FISH(
set -l _velmora_file
for _velmora_folder in $fish_complete_path
    test -f $_velmora_folder/velmora.fish; and set _velmora_file $_velmora_folder; and break
end
if not set -q _velmora_file[1]
complete -e -c velmora
)FISH" + FishCommandLines() +
           "end\nset -e _velmora_folder\n";
}

std::string CommandCompletionFile(Shell shell) {
    switch (shell) {
        case Shell::kZsh:
            return "#compdef velmora\n" + Header("#") + ZshNameCompletion() + ZshCommandBody();
        case Shell::kFish:
            return Header("#") + FishNameCompletion() + "\n" + FishCommandLines();
        default:
            return Header("#") + BashNameCompletion() + BashCommandCompletion();
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
