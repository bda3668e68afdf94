// The velmora program: the directory-names module used from a shell. It loads the module as
// the host does and runs a text behind the prefix, the name panel, the settings dialog, or
// prints the shell integration and the stored names.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "module_session.h"
#include "panel_view.h"
#include "shell_init.h"
#include "terminal.h"
#include "terminal_front_end.h"
#include "locations.h"

namespace {

// Exit statuses; the shell function goes to the directory on 0 and shows a command on 3.
const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitCannotStart = 2;
const int kExitCommand = 3;

const char kUsage[] =
    "usage: velmora [--] [TEXT...]   TEXT as typed behind the prefix in the file manager:\n"
    "                                  NAME or NAME/REST  print the directory to go to\n"
    "                                  +NAME, :NAME       store the current directory as a\n"
    "                                                     temporary or permanent name\n"
    "                                  -NAME              delete the name\n"
    "                                  a filter's name    the panel with that filter\n"
    "                                no TEXT: the panel of names\n"
    "       velmora init bash|zsh    print the shell integration; load it with\n"
    "                                  eval \"$(velmora init bash)\"\n"
    "       velmora --names          list the stored names and filters\n"
    "       velmora --prefix         print the prefix\n"
    "       velmora --configure      the settings dialog\n"
    "exit status: 0 done (a jump prints the directory), 1 not found or not done,\n"
    "             2 cannot start, 3 the target is a command for the file manager (printed)\n";

int Report(const Outcome& outcome) {
    switch (outcome.kind) {
        case Outcome::kDirectory:
            std::printf("%s\n", outcome.text.c_str());
            return kExitDone;
        case Outcome::kCommand:
            std::printf("%s\n", outcome.text.c_str());
            return kExitCommand;
        case Outcome::kFailed:
            return kExitFailed;
        default:
            return kExitDone;
    }
}

int RunPanel(ModuleSession& session, Terminal& terminal, TerminalFrontEnd& frontEnd) {
    std::string error;
    if (!terminal.Open(&error)) {
        std::fprintf(stderr, "velmora: the panel needs a terminal: %s\n", error.c_str());
        return kExitCannotStart;
    }
    Outcome outcome;
    std::string otherPanel;
    {
        PanelView view(session.Host(), terminal, frontEnd);
        outcome = view.Run();
        otherPanel = view.OtherPanel();
    }
    terminal.Close();
    if (!otherPanel.empty()) {
        std::fprintf(stderr, "velmora: the other panel went to %s\n", otherPanel.c_str());
    }
    return Report(outcome);
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    // Texts are the module's bytes; the locale only tells the screen how wide they are.
    std::setlocale(LC_CTYPE, "");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string first = arguments.empty() ? "" : arguments.front();
    if (first == "--help" || first == "-h") {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    Shell shell = Shell::kBash;
    if (first == "init" && (arguments.size() != 2 || !ParseShell(arguments[1], &shell))) {
        std::fputs("velmora: say which shell: velmora init bash, zsh, fish or sh\n", stderr);
        return kExitCannotStart;
    }

    Terminal terminal;
    TerminalFrontEnd frontEnd(terminal);
    ModuleSession session;
    std::string error;
    if (!session.Start(&frontEnd, &error)) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
        return kExitCannotStart;
    }

    if (first == "init") {
        std::fputs(ShellInitScript(shell, ProgramPath(), session.Prefix()).c_str(), stdout);
        return kExitDone;
    }
    if (first == "--names" && arguments.size() == 1) {
        for (const std::string& name : session.Names()) {
            std::printf("%s\n", name.c_str());
        }
        return kExitDone;
    }
    if (first == "--prefix" && arguments.size() == 1) {
        std::printf("%s\n", session.Prefix().c_str());
        return kExitDone;
    }
    if (first == "--configure" && arguments.size() == 1) {
        session.Configure();
        return kExitDone;
    }
    if (first == "--") {
        arguments.erase(arguments.begin());
    }
    Outcome outcome = session.Run(Joined(arguments));
    if (outcome.kind == Outcome::kPanel) {
        return RunPanel(session, terminal, frontEnd);
    }
    return Report(outcome);
}
