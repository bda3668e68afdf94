# shellcheck shell=bash
# The completion of stored names for the prefix's command, and of the velmora command itself:
# its commands and options, the shells of init, files, and stored names. `velmora init bash`
# prints it below velmora.bash; the package installs it, as the file `velmora`, where
# bash-completion finds it. Above it stand the values the program fills in:
#   _velmora_commands   velmora's commands and options, and "--" (command_help.h)
#   _velmora_shells     the shells of init (shell_init.h)
# Without the shell integration loaded the program is found on the PATH.

# Completes names from `velmora --names PREFIX`. Readline inserts a reply as it is, so every name
# is offered shell-quoted (printf %q) and matched against the text as typed. printf %q writes a
# name as its characters, some behind a backslash, or whole in $'...' when it holds a control
# byte; so the typed text up to its first quote or '$', with each backslash taken away, is a
# beginning of every name that can match, and the program answers only the names that begin
# with it. Only the part behind the last unescaped character that readline breaks words at is
# replaced, so names holding ':' complete whole. The names are read, quoted and, when every one
# matches (the usual case: a name differs only in letter case otherwise), offered in whole-array
# steps: bash reads a pipe a byte at a time, and a loop that reads or quotes one name at a time
# costs it seconds over 100,000 names. compgen -W is not used: it would expand the names as shell
# words.
_velmora_complete() {
    local _vm_line=${COMP_LINE:0:COMP_POINT}
    _vm_line=${_vm_line#"${_vm_line%%[![:space:]]*}"}
    local _vm_typed=${_vm_line#*[[:space:]]}
    _vm_typed=${_vm_typed#"${_vm_typed%%[![:space:]]*}"}
    local _vm_start=0 _vm_at=0 _vm_char _vm_begin='' _vm_plain=1
    while [ "$_vm_at" -lt "${#_vm_typed}" ]; do
        _vm_char=${_vm_typed:_vm_at:1}
        if [ "$_vm_char" = "\\" ]; then
            _vm_at=$((_vm_at + 1))
            _vm_char=${_vm_typed:_vm_at:1}
        elif [[ $_vm_char == [\'\"\$] ]]; then
            _vm_plain=
        elif [[ $COMP_WORDBREAKS == *"$_vm_char"* ]]; then
            _vm_start=$((_vm_at + 1))
        fi
        [ -n "$_vm_plain" ] && _vm_begin+=$_vm_char
        _vm_at=$((_vm_at + 1))
    done
    local _vm_lead='' _vm_name _vm_quoted _vm_every=1
    [[ $_vm_typed == -* ]] && _vm_lead=- && _vm_begin=${_vm_begin:1}
    local _vm_empty=${_vm_lead:-"''"}
    local -a _vm_names
    _vm_quoted=$("${_velmora_program:-velmora}" --names "$_vm_begin" 2>/dev/null)
    COMPREPLY=()
    [ -n "$_vm_quoted" ] || return 0
    mapfile -t _vm_names <<< "$_vm_quoted"
    printf -v _vm_quoted '%q\n' "${_vm_names[@]/#/$_vm_lead}"
    mapfile -t _vm_names <<< "${_vm_quoted%$'\n'}"
    for _vm_name in "${_vm_names[@]}"; do
        [[ $_vm_name == "$_vm_typed"* && $_vm_name != "$_vm_empty" ]] || { _vm_every=; break; }
    done
    if [ -n "$_vm_every" ]; then
        COMPREPLY=("${_vm_names[@]#"${_vm_typed:0:_vm_start}"}")
        return 0
    fi
    for _vm_name in "${_vm_names[@]}"; do
        [[ $_vm_name == "$_vm_typed"* && $_vm_name != "$_vm_empty" ]] &&
            COMPREPLY+=("${_vm_name:_vm_start}")
    done
}

# `import --from` takes the name of a bookmark tool, other words of export and import are files,
# help takes a command, and a text (the first word) may be a stored name. The words offered are
# fixed words of ours, safe to hand to compgen.
_velmora_command() {
    local word=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]} words=
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        _velmora_complete
        words=$_velmora_commands
    else
        case ${COMP_WORDS[1]}:$COMP_CWORD in
            init:2) words=$_velmora_shells ;;
            help:2) words=$_velmora_commands ;;
            prune:*) words='--yes --unreachable' ;;
            export:2 | import:*)
                if [ "$previous" = --from ]; then
                    words='wd bashmarks'
                elif [[ ${COMP_WORDS[1]}$word == import-* ]]; then
                    words='--replace --from'
                else
                    compopt -o filenames
                    mapfile -t COMPREPLY < <(compgen -f -- "$word")
                fi ;;
        esac
    fi
    [ -z "$words" ] ||
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -W "$words" -- "$word")
}
complete -F _velmora_command velmora
