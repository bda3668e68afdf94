# shellcheck shell=sh
# The shell integration for POSIX shells (dash, ksh, busybox sh): a command named after the
# prefix that runs velmora and changes the directory, and a `velmora` wrapper that loads it again
# after the settings changed. These shells take only letters, digits and '_' in a function name,
# so the command is an alias of the prefix, which they take with ':' and the other characters a
# prefix may hold. They have no programmable completion and no local variables: the helpers'
# variables are named _velmora_*. `velmora init sh` prints it below the values it fills in:
#   _velmora_program          the velmora program's path
#   _velmora_new              the prefix; empty when the program refused it
#   _velmora_refusal          why it was refused
#   _velmora_builtin_warning  what to say when the prefix is a command of the shell itself
#   _velmora_label_warning    what to say when the shell does not run the alias (ksh and "cd:")

_velmora_newline='
'

# Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
# cd - does. The printed directory is taken whole (the trailing "x" keeps a path's own last
# newline from being eaten) and given to cd as one argument; `command` passes by a function of
# the user's named cd. Exit status 3 means the target is a command for the file manager's command
# line, which a shell cannot run. The statuses are taken behind "||", so that a shell under set -e
# says why before it leaves.
_velmora_cd() {
    if [ "$#" -eq 1 ] && [ "$1" = - ]; then
        # shellcheck disable=SC2164 # the status of cd is the command's
        command cd -
        return
    fi
    _velmora_rc=0
    _velmora_out=$(_velmora_rc=0; "$_velmora_program" -- "$@" || _velmora_rc=$?; printf x
        exit "$_velmora_rc") || _velmora_rc=$?
    _velmora_out=${_velmora_out%x}
    _velmora_out=${_velmora_out%"$_velmora_newline"}
    if [ "$_velmora_rc" -eq 0 ] && [ -n "$_velmora_out" ]; then
        # shellcheck disable=SC2164 # the status of cd is the command's
        command cd -- "$_velmora_out"
        return
    fi
    if [ "$_velmora_rc" -eq 3 ]; then
        printf 'velmora: %s is a command for the file manager, not a directory; run it from the command line of far2l\n' \
            "$_velmora_out" >&2
    fi
    return "$_velmora_rc"
}

# The settings dialog may change the prefix; the alias follows it at once.
velmora() {
    "$_velmora_program" "$@"
    set -- "$?" "${1-}"
    if [ "$2" = --configure ]; then
        eval "$("$_velmora_program" init sh)"
    fi
    return "$1"
}

# Forgets the alias a former prefix defined, so that only the current prefix works.
if [ -n "${_velmora_function-}" ]; then
    unalias "$_velmora_function" 2>/dev/null
fi
_velmora_function=

# Defines the alias after two checks. A builtin or keyword of that name would be taken over.
# And a shell may not run an alias of that name at all: ksh reads a word ending in ':' at the
# start of a command as a label and runs what follows it. So the alias is first tried, with an
# argument as it is used, in a subshell that finds no programs, where only the alias exits
# with 42. The prefix is only ever parsed as the name it was checked to be.
if [ -z "$_velmora_new" ]; then
    printf '%s\n' "$_velmora_refusal" >&2
else
    case $(command -V "$_velmora_new" 2>/dev/null) in
        "$_velmora_new is a "*builtin* | "$_velmora_new is a "*keyword* | \
        "$_velmora_new is a "*reserved*)
            printf '%s\n' "$_velmora_builtin_warning" >&2 ;;
        *)
            # shellcheck disable=SC2317 # run through the alias
            _velmora_probe() { exit 42; }
            # shellcheck disable=SC2139 # the alias is named after the prefix as it is now
            alias "$_velmora_new=_velmora_probe"
            # shellcheck disable=SC2123 # no program may answer in the alias's place
            (PATH=/dev/null; eval "$_velmora_new proj") 2>/dev/null
            _velmora_probed=$?
            unset -f _velmora_probe
            if [ "$_velmora_probed" -eq 42 ]; then
                # shellcheck disable=SC2139 # the alias is named after the prefix as it is now
                alias "$_velmora_new=_velmora_cd"
                _velmora_function=$_velmora_new
            else
                unalias "$_velmora_new"
                printf '%s\n' "$_velmora_label_warning" >&2
            fi ;;
    esac
fi
unset _velmora_new _velmora_probed _velmora_refusal _velmora_builtin_warning _velmora_label_warning
