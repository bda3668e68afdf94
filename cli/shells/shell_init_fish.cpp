// The script for fish, loaded with `velmora init fish | source`. fish takes the prefix's name
// from a variable, so the prefix, like every stored name and path, stays data here; fish quotes
// the completions it inserts itself.
#include <string>

#include "command_completion.h"
#include "shell_init.h"
#include "shell_init_scripts.h"

namespace {

// Runs velmora on the text behind the prefix and goes where it points; "-" alone goes back, as
// cd - does. string split0 keeps the output whole, newlines included, and printf then drops only
// the newline velmora ends it with. cd is fish's own, which keeps the directory history for cd -
// and prevd. Exit status 3 means the target is a command for the file manager's command line,
// which a shell cannot run.
const char kFunctions[] = R"FISH(
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
)FISH";

// Offers the stored names, each with the '-' of a delete when one is typed and with its directory
// behind a tab, which fish shows beside it. fish matches them against the typed text itself, and
// looks inside names only when none begins with it: so the program answers the names that begin
// with the typed text up to its first character beyond ASCII (fish folds the letter case of every
// letter, the program only of ASCII letters), and all of them when none does. Without the shell
// integration loaded (in the completion file of the velmora command) the program is found on the
// PATH.
const char kNameCompletion[] = R"FISH(
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
)FISH";

// A builtin, a keyword, or a function fish ships (cd is one) is the shell's own command.
const char kDefineFunction[] = R"FISH(
if builtin -q -- $_velmora_new; or string match -q -- "$__fish_data_dir/*" (functions -D -- $_velmora_new)
    printf '%s\n' "$_velmora_builtin_warning" >&2
else
    function $_velmora_new
        _velmora_cd $argv
    end
    complete -c $_velmora_new -f -a '(_velmora_complete)'
    set -g _velmora_function $_velmora_new
end
set -e _velmora_new _velmora_builtin_warning
)FISH";

}  // namespace

std::string FishQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "'";
}

std::string FishNameCompletion() {
    return kNameCompletion;
}

std::string FishScript(const std::string& program, const std::string& prefix) {
    std::string script = "# velmora for fish: load it with  velmora init fish | source\n";
    script += "set -g _velmora_program " + FishQuote(program) + "\n";
    script += kFunctions;
    script += kNameCompletion;
    script += FishCommandCompletion();
    std::string problem = PrefixProblem(prefix);
    if (!problem.empty()) {
        return script + "printf '%s\\n' " + FishQuote(RefusedPrefixWarning(prefix, problem)) +
               " >&2\n";
    }
    script += "set -g _velmora_new " + FishQuote(prefix) + "\n";
    script += "set -g _velmora_builtin_warning " + FishQuote(BuiltinPrefixWarning(prefix)) + "\n";
    return script + kDefineFunction;
}
