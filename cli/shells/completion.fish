# The completion of stored names for the prefix's command, and of the velmora command itself:
# its commands and options with what each does, the shells of init, files, and stored names.
# `velmora init fish` prints it below velmora.fish; the package installs it as the file
# velmora.fish, which fish loads for the first completion of velmora. Above it stand the values
# the program fills in:
#   _velmora_commands    velmora's commands and options (command_help.h)
#   _velmora_summaries   what each of them does, in the same order
#   _velmora_shells      the shells of init (shell_init.h)
# Without the shell integration loaded the program is found on the PATH.

# Offers the stored names, each with the '-' of a delete when one is typed and with its directory
# behind a tab, which fish shows beside it. fish matches them against the typed text itself, and
# looks inside names only when none begins with it: so the program answers the names that begin
# with the typed text up to its first character beyond ASCII (fish folds the letter case of every
# letter, the program only of ASCII letters), and all of them when none does.
function _velmora_complete
    set -l program velmora
    set -q _velmora_program[1]; and set program $_velmora_program
    set -l lead ''
    set -l typed (commandline -ct | string collect)
    string match -q -- '-*' "$typed"; and set lead -
    set -l begin (string unescape -- "$typed" 2>/dev/null | string collect)
    test -n "$lead"; and set begin (string sub -s 2 -- "$begin" | string collect)
    set begin (string replace -r -- '[^ -~].*' '' "$begin" | string collect)
    set -l names ($program --names-with-directories "$begin" 2>/dev/null)
    set -q names[1]; or set names ($program --names-with-directories 2>/dev/null)
    for name in $names
        printf '%s\n' "$lead$name"
    end
end

# fish loads an installed completion file of velmora (this text, from the package) itself, for
# the first completion of velmora. The shell integration gives the lines below only where there
# is none, in place of those a former load of it gave.
set -l _velmora_file
for _velmora_folder in $fish_complete_path
    if test -f $_velmora_folder/velmora.fish
        set _velmora_file $_velmora_folder/velmora.fish
        break
    end
end
set -e _velmora_folder
if not set -q _velmora_file[1]; or test "$_velmora_file" = (status current-filename)
    complete -e -c velmora
    complete -c velmora -f
    complete -c velmora -n __fish_is_first_arg -a '(_velmora_complete)'
    for _velmora_at in (seq (count $_velmora_commands))
        set -l word $_velmora_commands[$_velmora_at]
        set -l summary $_velmora_summaries[$_velmora_at]
        if string match -q -- '--*' $word
            complete -c velmora -n __fish_is_first_arg -l (string sub -s 3 -- $word) -d $summary
        else
            complete -c velmora -n __fish_is_first_arg -a $word -d $summary
        end
    end
    complete -c velmora -n '__fish_seen_subcommand_from init' -a "$_velmora_shells"
    complete -c velmora -n '__fish_seen_subcommand_from help' -a "$_velmora_commands"
    complete -c velmora -n '__fish_seen_subcommand_from prune' -l yes
    complete -c velmora -n '__fish_seen_subcommand_from prune' -l unreachable
    complete -c velmora -n '__fish_seen_subcommand_from export import' -F
    complete -c velmora -n '__fish_seen_subcommand_from import' -l replace
    complete -c velmora -n '__fish_seen_subcommand_from import' -l from -x -a 'wd bashmarks'
end
set -e _velmora_file _velmora_at _velmora_commands _velmora_summaries _velmora_shells
