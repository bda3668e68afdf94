// The shells' scripts built into the program, and the assignments that fill in their values.
// Everything that comes from outside (the program's path, the prefix, the texts about it) reaches
// a shell only this way, quoted as one word, never as code.
#include "shell_scripts.h"

namespace {

// `text` as one single-quoted fish word: inside single quotes fish reads \' and \\ as escapes.
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

}  // namespace

std::string ShellScriptFile(const std::string& name) {
    for (int i = 0; i < kShellScriptsCount; ++i) {
        if (name == kShellScripts[i].name) {
            return std::string(kShellScripts[i].bytes, kShellScripts[i].size);
        }
    }
    return "";
}

std::string ScriptAssignments(Shell shell, const ScriptValues& values, bool local) {
    std::string text;
    for (const auto& value : values) {
        if (shell == Shell::kFish) {
            text += (local ? "set -l " : "set -g ") + value.first;
            for (const std::string& word : value.second) {
                text += " " + FishQuote(word);
            }
        } else {
            std::string joined;
            for (const std::string& word : value.second) {
                joined += (joined.empty() ? "" : " ") + word;
            }
            // A linter would take a text's backquotes, dollar signs or backslashes for code or
            // escapes; quoted whole, they are none.
            if (joined.find_first_of("`$\\") != std::string::npos) {
                text += "# shellcheck disable=SC1003,SC2016 # a text, quoted whole\n";
            }
            text += value.first + "=" + ShellQuote(joined);
        }
        text += "\n";
    }
    return text;
}
