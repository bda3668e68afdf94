# shellcheck shell=bash
# The shell integration for bash and zsh, written in what both read: a command named after the
# prefix that runs velmora and changes the directory, and a `velmora` wrapper that loads it again
# after the settings changed. `velmora init bash|zsh` prints it below the values it fills in:
#   _velmora_shell            bash or zsh
#   _velmora_program          the velmora program's path
#   _velmora_new              the prefix, a name of letters, digits and _ : . , + @ % - that
#                             begins with a letter or _; empty when the program refused it
#   _velmora_refusal          why it was refused
#   _velmora_builtin_warning  what to say when the prefix is a command of the shell itself
# and completion.bash or completion.zsh below it.

# Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
# cd - does (to velmora it would be the delete of no name). The printed directory is taken whole
# (the trailing "x" keeps a path's own last newline from being eaten) and given to cd as one
# argument. Exit status 3 means the target is a command for the file manager's command line,
# which a shell cannot run. The statuses are taken behind "||", so that a shell under set -e says
# why before it leaves.
_velmora_cd() {
    if [ "$#" -eq 1 ] && [ "$1" = - ]; then
        # shellcheck disable=SC2164 # the status of cd is the command's
        builtin cd -
        return
    fi
    local _vm_out _vm_rc=0
    _vm_out=$(_vm_rc=0; "$_velmora_program" -- "$@" || _vm_rc=$?; printf x; exit "$_vm_rc") ||
        _vm_rc=$?
    _vm_out=${_vm_out%x}
    _vm_out=${_vm_out%$'\n'}
    if [ "$_vm_rc" -eq 0 ] && [ -n "$_vm_out" ]; then
        # shellcheck disable=SC2164 # the status of cd is the command's
        builtin cd -- "$_vm_out"
        return
    fi
    if [ "$_vm_rc" -eq 3 ]; then
        printf 'velmora: %s is a command for the file manager, not a directory; run it from the command line of far2l\n' "$_vm_out" >&2
    fi
    return "$_vm_rc"
}

# The settings dialog may change the prefix; the function's name follows it at once.
velmora() {
    "$_velmora_program" "$@"
    local _vm_rc=$?
    if [ "${1-}" = --configure ]; then
        eval "$("$_velmora_program" init "$_velmora_shell")"
    fi
    return "$_vm_rc"
}

# Forgets the function a former prefix defined, so that only the current prefix works.
if [ -n "${_velmora_function-}" ] && [ "$_velmora_function" != "$_velmora_new" ]; then
    unset -f -- "$_velmora_function" 2> /dev/null
    if [ "$_velmora_shell" = bash ]; then
        complete -r -- "$_velmora_function" 2> /dev/null
    elif typeset -f compdef > /dev/null; then
        compdef -d "$_velmora_function"
    fi
fi
_velmora_function=

# The prefix's function. The prefix is its name as it is: the program lets it through only as a
# plain word of the shell. A builtin or a keyword of that name would be taken over: it is left
# alone.
if [ -z "$_velmora_new" ]; then
    printf '%s\n' "$_velmora_refusal" >&2
else
    if [ "$_velmora_shell" = bash ]; then
        _velmora_kind=$(type -t -- "$_velmora_new")
    else
        _velmora_kind=$(whence -w -- "$_velmora_new")
        _velmora_kind=${_velmora_kind##*: }
    fi
    case $_velmora_kind in
        builtin | keyword | reserved)
            printf '%s\n' "$_velmora_builtin_warning" >&2
            ;;
        *)
            eval "function $_velmora_new { _velmora_cd \"\$@\"; }"
            if [ "$_velmora_shell" = bash ]; then
                complete -o nospace -F _velmora_complete -- "$_velmora_new"
            elif typeset -f compdef > /dev/null; then
                compdef _velmora_complete "$_velmora_new"
            fi
            _velmora_function=$_velmora_new
            ;;
    esac
fi
unset _velmora_new _velmora_refusal _velmora_builtin_warning _velmora_kind
