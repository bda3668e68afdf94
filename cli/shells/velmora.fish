# The shell integration for fish: a command named after the prefix that runs velmora and changes
# the directory, and a `velmora` wrapper that loads it again after the settings changed.
# `velmora init fish` prints it below the values it fills in:
#   _velmora_program          the velmora program's path
#   _velmora_new              the prefix; no value when the program refused it
#   _velmora_refusal          why it was refused
#   _velmora_builtin_warning  what to say when the prefix is a command of the shell itself
# and completion.fish below it. fish takes the function's name from a variable, so the prefix,
# like every stored name and path, stays data here.

# Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
# cd - does. string split0 keeps the output whole, newlines included, and printf then drops only
# the newline velmora ends it with. cd is fish's own, which keeps the directory history for cd -
# and prevd. Exit status 3 means the target is a command for the file manager's command line,
# which a shell cannot run.
function _velmora_cd
    if test (count $argv) -eq 1; and test "$argv[1]" = -
        cd -
        return
    end
    set -l out ("$_velmora_program" -- $argv | string split0)
    set -l rc $pipestatus[1]
    if test -n "$out"
        set out (printf '%.*s' (math (string length -- "$out") - 1) "$out" | string split0)
    end
    if test $rc -eq 0; and test -n "$out"
        cd -- "$out"
        return
    end
    if test $rc -eq 3
        printf 'velmora: %s is a command for the file manager, not a directory; run it from the command line of far2l\n' "$out" >&2
    end
    return $rc
end

# The settings dialog may change the prefix; the function's name follows it at once.
function velmora
    "$_velmora_program" $argv
    set -l rc $status
    if test "$argv[1]" = --configure
        "$_velmora_program" init fish | source
    end
    return $rc
end

# Forgets the function a former prefix defined, so that only the current prefix works.
if set -q _velmora_function[1]
    functions -e -- $_velmora_function
    complete -e -c $_velmora_function
end
set -g _velmora_function

# A builtin, a keyword, or a function fish ships (cd is one) is the shell's own command.
if not set -q _velmora_new[1]
    printf '%s\n' "$_velmora_refusal" >&2
else if builtin -q -- $_velmora_new; or string match -q -- "$__fish_data_dir/*" (functions -D -- $_velmora_new)
    printf '%s\n' "$_velmora_builtin_warning" >&2
else
    function $_velmora_new
        _velmora_cd $argv
    end
    complete -c $_velmora_new -f -a '(_velmora_complete)'
    set -g _velmora_function $_velmora_new
end
set -e _velmora_new _velmora_refusal _velmora_builtin_warning
