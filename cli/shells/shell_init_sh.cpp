// The script for POSIX shells (dash, ksh, busybox sh), loaded with `eval "$(velmora init sh)"`.
// These take only letters, digits and '_' in a function name, so the command is an alias of the
// prefix, which they take with ':' and the other characters a prefix may hold. They have no
// programmable completion and no local variables: the helpers' variables are named _velmora_*.
#include <string>

#include "shell_init.h"
#include "shell_init_scripts.h"

namespace {

// Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
// cd - does. The printed directory is taken whole (the trailing "x" keeps a path's own last
// newline from being eaten) and given to cd as one argument; `command` passes by a function of
// the user's named cd. Exit status 3 means the target is a command for the file manager's command
// line, which a shell cannot run. The statuses are taken behind "||", so that a shell under set -e
// says why before it leaves.
const char kFunctions[] = R"SH(
_velmora_newline='
'
_velmora_cd() {
    if [ "$#" -eq 1 ] && [ "$1" = - ]; then
        command cd -
        return
    fi
    _velmora_rc=0
    _velmora_out=$(_velmora_rc=0; "$_velmora_program" -- "$@" || _velmora_rc=$?; printf x
        exit "$_velmora_rc") || _velmora_rc=$?
    _velmora_out=${_velmora_out%x}
    _velmora_out=${_velmora_out%"$_velmora_newline"}
    if [ "$_velmora_rc" -eq 0 ] && [ -n "$_velmora_out" ]; then
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
)SH";

// Defines the alias after two checks. A builtin or keyword of that name would be taken over.
// And a shell may not run an alias of that name at all: ksh reads a word ending in ':' at the
// start of a command as a label and runs what follows it. So the alias is first tried, with an
// argument as it is used, in a subshell that finds no programs, where only the alias exits
// with 42. The prefix is only ever parsed as the name it was checked to be.
const char kDefineAlias[] = R"SH(
case $(command -V "$_velmora_new" 2>/dev/null) in
    "$_velmora_new is a "*builtin* | "$_velmora_new is a "*keyword* | \
    "$_velmora_new is a "*reserved*)
        printf '%s\n' "$_velmora_builtin_warning" >&2 ;;
    *)
        _velmora_probe() { exit 42; }
        alias "$_velmora_new=_velmora_probe"
        (PATH=/dev/null; eval "$_velmora_new proj") 2>/dev/null
        _velmora_probed=$?
        unset -f _velmora_probe
        if [ "$_velmora_probed" -eq 42 ]; then
            alias "$_velmora_new=_velmora_cd"
            _velmora_function=$_velmora_new
        else
            unalias "$_velmora_new"
            printf '%s\n' "$_velmora_label_warning" >&2
        fi ;;
esac
unset _velmora_new _velmora_probed _velmora_builtin_warning _velmora_label_warning
)SH";

}  // namespace

std::string PosixScript(const std::string& program, const std::string& prefix) {
    std::string script = "# velmora for sh: load it with  eval \"$(velmora init sh)\"\n";
    script += "_velmora_program=" + ShellQuote(program) + "\n";
    script += kFunctions;
    std::string problem = PrefixProblem(prefix);
    if (!problem.empty()) {
        return script + "printf '%s\\n' " + ShellQuote(RefusedPrefixWarning(prefix, problem)) +
               " >&2\n";
    }
    script += "_velmora_new=" + ShellQuote(prefix) + "\n";
    script += "_velmora_builtin_warning=" + ShellQuote(BuiltinPrefixWarning(prefix)) + "\n";
    script += "_velmora_label_warning=" +
              ShellQuote("velmora: this shell does not run the prefix " + prefix +
                         " as a command (ksh reads a word ending in ':' as a label); choose one "
                         "of letters, digits and _ with `velmora --configure`, and until then "
                         "type `_velmora_cd NAME`") +
              "\n";
    return script + kDefineAlias;
}
