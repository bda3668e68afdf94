# The completion of stored names for the prefix's command, and of the velmora command itself:
# its commands and options, the shells of init, files, and stored names. `velmora init zsh`
# prints it below velmora.bash; the package installs it as the file `_velmora`, which zsh
# autoloads as the body of the function _velmora. Above it stand the values the program fills in:
#   _velmora_commands   velmora's commands and options, and "--" (command_help.h)
#   _velmora_shells     the shells of init (shell_init.h)
# Without the shell integration loaded the program is found on the PATH.

# zsh matches the candidates against what is typed itself, through the user's matchers: the
# program answers the names that begin with the typed text up to its first character beyond
# ASCII (a matcher may fold the letter case of every letter, the program only of ASCII letters),
# and all of them when none does, for matchers that look inside names. A leading '-' (a delete)
# is put in front of every name.
_velmora_complete() {
    local -a _vm_names
    local _vm_begin=${(Q)PREFIX}
    [[ $PREFIX == -* ]] && _vm_begin=${_vm_begin#-}
    _vm_begin=${_vm_begin%%[^ -~]*}
    _vm_names=("${(@f)$("${_velmora_program:-velmora}" --names "$_vm_begin" 2>/dev/null)}")
    _vm_names=(${_vm_names:#})
    (( ${#_vm_names} )) ||
        _vm_names=("${(@f)$("${_velmora_program:-velmora}" --names 2>/dev/null)}")
    [[ $PREFIX == -* ]] && _vm_names=("${_vm_names[@]/#/-}")
    compadd -S '' -a _vm_names
}

# `import --from` takes the name of a bookmark tool, other words of export and import are files,
# help takes a command, and a text (the first word) may be a stored name.
_velmora_command() {
    if (( CURRENT == 2 )); then
        _velmora_complete
        compadd -- ${=_velmora_commands}
        return
    fi
    case $words[2]:$CURRENT in
        init:3) compadd -- ${=_velmora_shells} ;;
        help:3) compadd -- ${=_velmora_commands} ;;
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
}

# Autoloaded as _velmora, this is the body that completes at once; loaded by the shell
# integration, it names the function that completes velmora.
if [[ ${funcstack[1]-} == _velmora ]]; then
    _velmora_command "$@"
elif (( ${+functions[compdef]} )); then
    compdef _velmora_command velmora
fi
