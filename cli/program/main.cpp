// The velmora program: the directory-names module used from a shell. It runs a text behind the
// prefix through the module's own commands, starts the module linked into it as the host does for
// the name panel and the settings dialog, and reads and writes the store's sections for the
// commands that list, check, export and import.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_help.h"
#include "dead_names.h"
#include "exit_status.h"
#include "far2l/far2l_entry_points.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "jump_destination.h"
#include "locations.h"
#include "module_session.h"
#include "name_listing.h"
#include "panel_view.h"
#include "shell_commands.h"
#include "shell_init.h"
#include "sim_host.h"
#include "store_fault.h"
#include "store_transaction.h"
#include "terminal.h"
#include "terminal_front_end.h"
#include "transfer.h"
#include "visible_text.h"

namespace {

// The words from the `first` on, as the shell gave them, joined with blanks.
std::string Joined(const std::vector<std::string>& words, size_t first = 0) {
    std::string text;
    for (size_t i = first; i < words.size(); ++i) {
        text += (text.empty() ? "" : " ") + words[i];
    }
    return text;
}

// A usage slip is said in one line, with where to read more.
int UsageError(const std::string& problem, const std::string& command = "") {
    Say(problem + "; try `velmora " + (command.empty() ? "" : command + " ") + "--help`");
    return kExitUsage;
}

// The name of the shell's command for the help: the prefix, when a shell can be given a command
// of that name, else the function the integration defines in its place. The settings are read as
// stored, since the module's start would write their defaults.
std::string ShellCommandName() {
    far2l::StartWithoutHost();
    std::string prefix = Settings.Prefix.Text();
    return PrefixProblem(prefix).empty() && !IsShellCommand(prefix) ? prefix : "_velmora_cd";
}

// `velmora help [COMMAND]`.
int RunHelp(const std::vector<std::string>& topics) {
    if (topics.size() > 1) {
        return UsageError("help takes one command at a time, not '" + Joined(topics) + "'", "help");
    }
    if (topics.empty()) {
        std::fputs(OverviewHelpText(ShellCommandName()).c_str(), stdout);
        return kExitDone;
    }
    const CommandHelp* command = FindCommand(topics[0]);
    if (command == nullptr) {
        std::string words;
        for (const CommandHelp& known : Commands()) {
            words += (words.empty() ? "" : ", ") + std::string(known.word);
        }
        return UsageError("there is no command '" + topics[0] + "'; the commands are " + words);
    }
    std::fputs(CommandHelpText(*command, ShellCommandName()).c_str(), stdout);
    return kExitDone;
}

// The help a command line asks for with --help or -h among its options, never run as the command:
// that command's, or the overview behind a text. The word behind --names is what a shell has
// typed, whatever it looks like.
bool AsksForHelp(const std::vector<std::string>& arguments, std::vector<std::string>* topics) {
    const std::string first = arguments.empty() ? "" : arguments.front();
    if (first == "help" || first == "--help" || first == "-h") {
        topics->assign(arguments.begin() + 1, arguments.end());
        return true;
    }
    if (first == "--names" || first == "--names-with-directories") {
        return false;
    }
    for (const std::string& word : arguments) {
        if (word == "--") {
            return false;
        }
        if (word == "--help" || word == "-h") {
            if (FindCommand(first) != nullptr) {
                topics->push_back(first);
            }
            return true;
        }
    }
    return false;
}

int Report(const Outcome& outcome) {
    switch (outcome.kind) {
        case Outcome::kDirectory: {
            // Said here, the same in every shell, rather than by the shell's cd.
            std::string problem = WhyNotThere(outcome.text, outcome.name, outcome.stored);
            if (!problem.empty()) {
                Say(problem);
                return kExitFailed;
            }
            std::printf("%s\n", outcome.text.c_str());
            return kExitDone;
        }
        case Outcome::kCommand:
            // For a person to read: the shell cannot go there.
            std::printf("%s\n", VisibleText(outcome.text).c_str());
            return kExitCommand;
        case Outcome::kFailed:
            return kExitFailed;
        case Outcome::kRefused:
        case Outcome::kNotFound:
            Say(outcome.text);
            return kExitFailed;
        case Outcome::kStoreFailed:
            if (!outcome.text.empty()) {
                Say(outcome.text);
            }
            return SayStoreFault();
        default:
            if (!outcome.text.empty()) {
                Say(outcome.text);
            }
            return kExitDone;
    }
}

// A command that failed while a store failed failed because of it; one that was done all the
// same (a jump to a permanent name while the temporary names cannot be read) is done, and the
// fault is said beside it.
Outcome WithStoreFaults(Outcome outcome) {
    if (outcome.kind == Outcome::kStoreFailed || StoreFaults().empty()) {
        return outcome;
    }
    if (outcome.kind == Outcome::kFailed || outcome.kind == Outcome::kNotFound) {
        return {Outcome::kStoreFailed, ""};
    }
    SayStoreFaultsIfAny();
    return outcome;
}

int RunPanel(ModuleSession& session, Terminal& terminal, TerminalFrontEnd& frontEnd) {
    std::string error;
    if (!terminal.Open(&error)) {
        Say("the panel needs a full-screen terminal, and " + error +
            "; `velmora list` prints your names");
        return kExitUsage;
    }
    Outcome outcome;
    {
        PanelView view(session.Host(), terminal, frontEnd);
        outcome = view.Run();
    }
    terminal.Close();
    return Report(WithStoreFaults(outcome));
}

// The settings dialog, with the screen held open from its start to its end, so that a box the
// dialog shows (a prefix refused) is seen in it, not written behind the screen.
int RunConfigure(ModuleSession& session, Terminal& terminal, TerminalFrontEnd& frontEnd) {
    std::string error;
    if (!terminal.Open(&error)) {
        Say("the settings need a full-screen terminal, and " + error +
            "; run `velmora --configure` in one");
        return kExitUsage;
    }
    // The switches of the file manager's menus and panels mean nothing in a shell.
    frontEnd.LeaveOut({session.Host().Message(MShowInDiskMenuCheckBox),
                       session.Host().Message(MShowInPluginsMenuCheckBox),
                       session.Host().Message(MShowTemporaryAsHiddenCheckBox)});
    Outcome outcome = session.Configure();
    terminal.Close();
    return Report(WithStoreFaults(outcome));
}

// The commands that read and write the store through its sections, without starting the module.
int RunStoreCommand(const std::vector<std::string>& arguments) {
    const std::string& command = arguments.front();
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "export" || command == "import") {
        std::string problem;
        TransferOptions options;
        if (!ParseTransferOptions(command == "import", rest, &options, &problem)) {
            return UsageError(problem, command);
        }
        return command == "import" ? RunImport(options) : RunExport(options);
    }
    // The text behind --names is what a shell has typed so far, whatever it looks like.
    NameLines lines = command == "--names" ? NameLines::kNames : NameLines::kWithDirectories;
    bool names = command == "--names" || command == "--names-with-directories";
    if (names && rest.size() == 1) {
        return WriteNamesBeginningWith(stdout, rest[0], lines) ? kExitDone : SayStoreFault();
    }
    if (names && rest.size() > 1) {
        return UsageError(command + " takes one beginning of a name, not '" + Joined(rest) + "'",
                          command);
    }
    PruneOptions prune;
    if (command == "prune") {
        rest = TakePruneOptions(rest, &prune);
    }
    if (!rest.empty()) {
        bool option = rest[0].size() > 1 && rest[0][0] == '-';
        if (option) {
            return UsageError(command + " has no option " + rest[0], command);
        }
        // A name behind prune is taken for one to delete: say how that is done.
        if (command == "prune") {
            return UsageError("prune takes no name ('" + rest[0] +
                                  "'): it deletes the names whose directory is gone; to delete "
                                  "one: `velmora -- -" +
                                  rest[0] + "`",
                              command);
        }
        return UsageError(command + " takes nothing behind it ('" + Joined(rest) + "')", command);
    }
    if (names) {
        return WriteNames(stdout, lines) ? kExitDone : SayStoreFault();
    }
    if (command == "list") {
        return RunList();
    }
    return command == "check" ? RunCheck() : RunPrune(prune);
}

bool IsStoreCommand(const std::string& word) {
    for (const char* command :
         {"--names", "--names-with-directories", "list", "check", "prune", "export", "import"}) {
        if (word == command) {
            return true;
        }
    }
    return false;
}

// What the module is needed for: a text, the panel, the settings, the shell integration.
int RunModuleCommand(std::vector<std::string> arguments) {
    std::string first = arguments.empty() ? "" : arguments.front();
    Shell shell = Shell::kBash;
    if (first == "init" && arguments.size() != 2) {
        return UsageError(arguments.size() == 1
                              ? "say which shell: `velmora init bash`, zsh, fish or sh"
                              : "init takes one shell, not '" + Joined(arguments, 1) + "'",
                          first);
    }
    if (first == "init" && !ParseShell(arguments[1], &shell)) {
        return UsageError("there is no integration for the shell '" + arguments[1] +
                              "'; velmora knows bash, zsh, fish and sh (for dash, ksh and "
                              "busybox sh)",
                          first);
    }
    bool option = first == "--prefix" || first == "--configure";
    if (option && arguments.size() != 1) {
        return UsageError(first + " takes nothing behind it ('" + Joined(arguments, 1) + "')",
                          first);
    }
    // Every word before "--" that begins with '-' is an option: a mistyped one must never be
    // run as the delete it would be behind the prefix. "--" itself only ends the options.
    for (auto word = arguments.begin(); word != arguments.end(); ++word) {
        if (*word == "--") {
            arguments.erase(word);
            break;
        }
        if (!option && !word->empty() && (*word)[0] == '-') {
            return UsageError("there is no option " + *word +
                              "; a text that begins with - goes behind --: `velmora -- " + *word +
                              "`");
        }
    }
    bool jump = first != "init" && !option;
    const std::string text = CommandLineText(Joined(arguments));
    Outcome answer;
    if (jump && AnswerFromStore(text, &answer)) {
        return Report(WithStoreFaults(answer));
    }

    // The shell integration and the prefix are reads: the module's start must not give a store
    // without settings its defaults, which an import of the user's own would then have to beat.
    if (first == "init" || first == "--prefix") {
        VelmoraKeepStoresUnwritten();
    }
    Terminal terminal;
    TerminalFrontEnd frontEnd(terminal);
    ModuleSession session;
    std::string error;
    if (!session.Start(&frontEnd, &error)) {
        Say(error);
        return kExitUsage;
    }
    if (first == "init") {
        std::fputs(ShellInitScript(shell, ProgramPath(), session.Prefix()).c_str(), stdout);
        return kExitDone;
    }
    if (first == "--prefix") {
        std::printf("%s\n", VisibleText(session.Prefix()).c_str());
        return kExitDone;
    }
    if (first == "--configure") {
        return RunConfigure(session, terminal, frontEnd);
    }
    Outcome outcome = session.Run(text);
    if (outcome.kind == Outcome::kPanel) {
        return RunPanel(session, terminal, frontEnd);
    }
    return Report(WithStoreFaults(outcome));
}

// Everything printed must have reached standard output: a path cut by a full disk is worse
// than none. What the stores noticed of the environment is said last, once.
int Finish(int status) {
    SayStoreNotices();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Say(std::string("cannot write the output (") + std::strerror(errno) +
            "), so it is not whole; run the command again with its output going where it can be "
            "written");
        return status == kExitDone || status == kExitCommand ? kExitFailed : status;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string first = arguments.empty() ? "" : arguments.front();
    std::vector<std::string> topics;
    if (AsksForHelp(arguments, &topics)) {
        return Finish(RunHelp(topics));
    }
    if (first == "--version") {
        std::printf("velmora %s\n", VELMORA_VERSION);
        return Finish(kExitDone);
    }
    if (IsStoreCommand(first)) {
        return Finish(RunStoreCommand(arguments));
    }
    return Finish(RunModuleCommand(arguments));
}
