// The scripts for bash and zsh: both take the prefix as a function name as it is, and differ only
// in how they look a command up and complete.
#include <string>

#include "command_completion.h"
#include "shell_init.h"
#include "shell_init_scripts.h"

namespace {

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
    for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at)) {
        text->replace(at, from.size(), to);
        at += to.size();
    }
}

// Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
// cd - does (to velmora it would be the delete of no name). The printed directory is taken whole
// (the trailing "x" keeps a path's own last newline from being eaten) and given to cd as one
// argument. Exit status 3 means the target is a command for the file manager's command line,
// which a shell cannot run. The statuses are taken behind "||", so that a shell under set -e says
// why before it leaves.
const char kCommonFunctions[] = R"SH(
_velmora_cd() {
    if [ "$#" -eq 1 ] && [ "$1" = - ]; then
        builtin cd -
        return
    fi
    local _vm_out _vm_rc=0
    _vm_out=$(_vm_rc=0; "$_velmora_program" -- "$@" || _vm_rc=$?; printf x; exit "$_vm_rc") ||
        _vm_rc=$?
    _vm_out=${_vm_out%x}
    _vm_out=${_vm_out%$'\n'}
    if [ "$_vm_rc" -eq 0 ] && [ -n "$_vm_out" ]; then
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
        eval "$("$_velmora_program" init SHELL_NAME)"
    fi
    return "$_vm_rc"
}
)SH";

// Completes names from `velmora --names PREFIX`. Readline inserts a reply as it is, so every name
// is offered shell-quoted (printf %q) and matched against the text as typed. printf %q writes a
// name as its characters, some behind a backslash, or whole in $'...' when it holds a control
// byte; so the typed text up to its first quote or '$', with each backslash taken away, is a
// beginning of every name that can match, and the program answers only the names that begin
// with it. Only the part behind the last unescaped character that readline breaks words at is
// replaced, so names holding ':' complete whole. The names are read, quoted and, when every one
// matches (the usual case: a name differs only in letter case otherwise), offered in whole-array
// steps: bash reads a pipe a byte at a time, and a loop that reads or quotes one name at a time
// costs it seconds over 100,000 names. compgen -W is not used: it would expand the
// names as shell words. Without the shell integration loaded (in the completion file of the
// velmora command) the program is found on the PATH; the same holds for zsh.
const char kBashCompletion[] = R"SH(
_velmora_complete() {
    local _vm_line=${COMP_LINE:0:COMP_POINT}
    _vm_line=${_vm_line#"${_vm_line%%[![:space:]]*}"}
    local _vm_typed=${_vm_line#*[[:space:]]}
    _vm_typed=${_vm_typed#"${_vm_typed%%[![:space:]]*}"}
    local _vm_start=0 _vm_at=0 _vm_char _vm_begin= _vm_plain=1
    while [ "$_vm_at" -lt "${#_vm_typed}" ]; do
        _vm_char=${_vm_typed:_vm_at:1}
        if [ "$_vm_char" = '\' ]; then
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
    local _vm_lead= _vm_name _vm_quoted _vm_every=1
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
)SH";

// zsh matches the candidates against what is typed itself, through the user's matchers: the
// program answers the names that begin with the typed text up to its first character beyond
// ASCII (a matcher may fold the letter case of every letter, the program only of ASCII letters),
// and all of them when none does, for matchers that look inside names. A leading '-' (a delete)
// is put in front of every name.
const char kZshCompletion[] = R"SH(
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
)SH";

// Forgets the function a former prefix defined, so that only the current prefix works.
std::string ForgetFormerFunction(Shell shell, const std::string& quotedName) {
    std::string text =
        "if [ -n \"${_velmora_function-}\" ] && [ \"$_velmora_function\" != " + quotedName +
        " ]; then\n"
        "    unset -f -- \"$_velmora_function\" 2>/dev/null\n";
    if (shell == Shell::kBash) {
        text += "    complete -r -- \"$_velmora_function\" 2>/dev/null\n";
    } else {
        text += "    (( ${+functions[compdef]} )) && compdef -d \"$_velmora_function\"\n";
    }
    return text + "fi\n_velmora_function=\n";
}

std::string DefinePrefixFunction(Shell shell, const std::string& prefix) {
    std::string quoted = ShellQuote(prefix);
    std::string text = ForgetFormerFunction(shell, quoted);
    std::string lookUp =
        shell == Shell::kBash ? "$(type -t -- " + quoted + ")" : "$(whence -w -- " + quoted + ")";
    std::string shellWords =
        shell == Shell::kBash ? "builtin|keyword" : "*': builtin'|*': reserved'";
    std::string warning = ShellQuote(BuiltinPrefixWarning(prefix));
    text += "case " + lookUp + " in\n";
    text += "    " + shellWords + ")\n";
    text += "        printf '%s\\n' " + warning + " >&2 ;;\n";
    text += "    *)\n";
    text += "        function " + prefix + " { _velmora_cd \"$@\"; }\n";
    if (shell == Shell::kBash) {
        text += "        complete -o nospace -F _velmora_complete -- " + quoted + "\n";
    } else {
        text +=
            "        (( ${+functions[compdef]} )) && compdef _velmora_complete " + quoted + "\n";
    }
    text += "        _velmora_function=" + quoted + " ;;\n";
    text += "esac\n";
    return text;
}

std::string RefusePrefix(Shell shell, const std::string& prefix, const std::string& problem) {
    return ForgetFormerFunction(shell, "''") + "printf '%s\\n' " +
           ShellQuote(RefusedPrefixWarning(prefix, problem)) + " >&2\n";
}

}  // namespace

std::string BashNameCompletion() {
    return kBashCompletion;
}

std::string ZshNameCompletion() {
    return kZshCompletion;
}

std::string BashZshScript(Shell shell, const std::string& program, const std::string& prefix) {
    const char* shellName = shell == Shell::kBash ? "bash" : "zsh";
    std::string script = std::string("# velmora for ") + shellName +
                         ": load it with  eval \"$(velmora init " + shellName + ")\"\n";
    script += "_velmora_program=" + ShellQuote(program) + "\n";
    std::string functions = kCommonFunctions;
    ReplaceAll(&functions, "SHELL_NAME", shellName);
    script += functions;
    script += shell == Shell::kBash ? kBashCompletion : kZshCompletion;
    script += shell == Shell::kBash ? BashCommandCompletion() : ZshCommandCompletion();
    script += "\n";
    std::string problem = PrefixProblem(prefix);
    script += problem.empty() ? DefinePrefixFunction(shell, prefix)
                              : RefusePrefix(shell, prefix, problem);
    return script;
}
