// The completion files of the velmora command. The stored names come from the same
// _velmora_complete as in the shell integration, so they are quoted the same way; the commands
// and options are fixed words of ours, safe to hand to compgen.
#include "command_completion.h"

#include "shell_init_scripts.h"

namespace {

const char kCommands[] = "init list check prune export import";
const char* const kOptions[] = {"names", "prefix", "configure", "help", "version"};
const char kShells[] = "bash zsh fish sh";

// What the first word may be besides a text: the commands, the options and "--".
std::string FirstWords() {
    std::string words = kCommands;
    for (const char* option : kOptions) {
        words += std::string(" --") + option;
    }
    return words + " --";
}

std::string Header(const char* comment) {
    return std::string(comment) +
           " completion of the velmora command: its commands and options, the shells of init,\n" +
           comment + " files, and the stored names\n";
}

// `import --from` takes the name of a bookmark tool, other words of export and import are
// files, and a text (the first word) may be a stored name.
std::string BashFile() {
    return Header("#") + BashNameCompletion() +
           R"SH(
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

std::string ZshFile() {
    return "#compdef velmora\n" + Header("#") + ZshNameCompletion() +
           R"SH(
if (( CURRENT == 2 )); then
    _velmora_complete
    compadd -- )SH" +
           FirstWords() + R"SH(
    return
fi
case $words[2]:$CURRENT in
    init:3) compadd -- )SH" +
           kShells + R"SH( ;;
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

std::string FishFile() {
    std::string file = Header("#") + FishNameCompletion() + R"FISH(
complete -c velmora -f
complete -c velmora -n __fish_is_first_arg -a '(_velmora_complete)'
complete -c velmora -n __fish_is_first_arg -a ')FISH" +
                       kCommands + "'\n";
    for (const char* option : kOptions) {
        file += std::string("complete -c velmora -n __fish_is_first_arg -l ") + option + "\n";
    }
    return file + "complete -c velmora -n '__fish_seen_subcommand_from init' -a '" + kShells +
           R"FISH('
complete -c velmora -n '__fish_seen_subcommand_from prune' -l yes
complete -c velmora -n '__fish_seen_subcommand_from prune' -l unreachable
complete -c velmora -n '__fish_seen_subcommand_from export import' -F
complete -c velmora -n '__fish_seen_subcommand_from import' -l replace
complete -c velmora -n '__fish_seen_subcommand_from import' -l from -x -a 'wd bashmarks'
)FISH";
}

}  // namespace

std::string CommandCompletionFile(Shell shell) {
    switch (shell) {
        case Shell::kZsh:
            return ZshFile();
        case Shell::kFish:
            return FishFile();
        default:
            return BashFile();
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
