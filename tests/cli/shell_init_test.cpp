// The shell integration run by real shells: what it defines for a prefix, what it refuses, and
// that nothing it is handed (a stored path, a name, the program's own path) is run as code.
// A stub program stands in for velmora and answers as velmora does.
#include "shell_init.h"

#include "command_completion.h"
#include "shell_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A shell the scripts are run with, the prefixes it takes as the command, and its name for the
// last exit status.
struct ShellUnderTest {
    const char* command;
    Shell kind;
    const char* prefix;
    const char* otherPrefix;
    const char* status;
};

const ShellUnderTest kShells[] = {
    {"bash", Shell::kBash, "cd:", "go:", "$?"},
    {"zsh", Shell::kZsh, "cd:", "go:", "$?"},
    {"fish", Shell::kFish, "cd:", "go:", "$status"},
    {"dash", Shell::kSh, "cd:", "go:", "$?"},
    {"busybox sh", Shell::kSh, "cd:", "go:", "$?"},
    // ksh reads a word ending in ':' at the start of a command as a label.
    {"ksh", Shell::kSh, "j", "go", "$?"},
};

// The shells of kShells installed here; the test scripts install them all.
std::vector<ShellUnderTest> InstalledShells() {
    std::vector<ShellUnderTest> shells;
    for (const ShellUnderTest& shell : kShells) {
        std::string program(shell.command, std::strcspn(shell.command, " "));
        if (system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0) {
            shells.push_back(shell);
        }
    }
    return shells;
}

class ShellInitTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora-shell-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // The directory the stub names for every jump holds what a shell would run if it
        // evaluated the text, and a newline.
        target_ = folder_ + "/to $(touch " + folder_ + "/ran) `touch " + folder_ + "/ran` '\"\nx";
        ASSERT_EQ(system(("mkdir -p " + ShellQuote(target_)).c_str()), 0);
        // `init` prints what the test left in next-init, as if the settings had changed.
        stub_ = folder_ + "/velmora stub\\'s";
        std::ofstream stub(stub_);
        stub << "#!/bin/sh\n"
                "case \"$1\" in\n"
                "  init) cat "
             << ShellQuote(folder_ + "/next-init")
             << "; exit ;;\n"
                "  --configure) exit ;;\n"
                "  --names*) printf '[%s]' \"$2\" >> "
             << ShellQuote(folder_ + "/asked")
             << "\n"
                "    lower() { printf '%s' \"$1\" | tr '[:upper:]' '[:lower:]'; }\n"
                "    beside=; [ \"$1\" = --names ] || beside='\t/in'\n"
                "    for n in proj PROJ 'x$(touch ran)'; do\n"
                "      case $(lower \"$n\") in \"$(lower \"$2\")\"*) printf \"%s$beside\\n\" "
                "\"$n\" ;;\n"
                "      esac\n"
                "    done; exit ;;\n"
                "  --) ;;\n"
                "  -*) echo \"unknown option $1\"; exit 2 ;;\n"
                "esac\n"
                "case \"$2\" in\n"
                "  -old) echo 'deleted old' >&2; exit ;;\n"
                "  ftp) echo 'ftp:srv'; exit 3 ;;\n"
                "  miss) exit 1 ;;\n"
                "  *) printf '%s\\n' "
             << ShellQuote(target_)
             << " ;;\n"
                "esac\n";
        stub.close();
        chmod(stub_.c_str(), 0755);
    }

    void TearDown() override { EXPECT_EQ(system(("rm -rf " + ShellQuote(folder_)).c_str()), 0); }

    // Runs `script` with `shell`; returns what it printed, standard error included.
    std::string Run(const std::string& shell, const std::string& script, int* status = nullptr) {
        std::string file = folder_ + "/script";
        std::ofstream(file) << script;
        std::string command = shell + " " + ShellQuote(file) + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string output;
        char buffer[256];
        while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        int result = pipe != nullptr ? pclose(pipe) : -1;
        if (status != nullptr) {
            *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
        }
        return output;
    }

    std::string Init(Shell shell, const std::string& prefix) {
        return ShellInitScript(shell, stub_, prefix);
    }

    bool Ran() const { return access((folder_ + "/ran").c_str(), F_OK) == 0; }

    // The texts the stub was asked for names beginning with, each in brackets.
    std::string Asked() const {
        std::ifstream file(folder_ + "/asked");
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string folder_, target_, stub_;
};

TEST(ShellQuoteTest, AnyTextSurvivesTheShellUnchanged) {
    for (std::string text : {"plain", "it's", "$(echo no)", "`echo no`", "a b\tc", "back\\slash",
                             "'", "''", "line\nbreak", "!$", "*"}) {
        std::string command = "printf %s " + ShellQuote(text);
        FILE* pipe = popen(("sh -c " + ShellQuote(command)).c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[64];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        pclose(pipe);
        EXPECT_EQ(output, text);
    }
}

TEST(PrefixProblemTest, AcceptsOnlyNamesBothShellsTakeUnquoted) {
    for (const char* good : {"cd:", "go", "j", "_x.y-z", "ftp:", "a+b@c%d,e"}) {
        EXPECT_EQ(PrefixProblem(good), "") << good;
    }
    for (const char* bad : {"", "x y", "$(x)", "-x", "1x", ":x", "a'b", "a;b", "a=b", "a/b", "a*",
                            "cd:\n", "_velmora_cd", "_velmora_complete", "velmora", "compdef"}) {
        EXPECT_NE(PrefixProblem(bad), "") << bad;
    }
}

// Each shell installed here lists its own commands; every one a prefix could be is known as one,
// and an ordinary name is not.
TEST(ShellCommandsTest, KnowsEveryCommandOfEachShellItself) {
    const char* const kLists[] = {
        "bash -c 'compgen -b; compgen -k'",
        "zsh -c 'print -l ${(k)builtins} ${(k)reswords}'",
        "fish -c 'builtin -n'",
        "ksh -c builtin | grep -v /",
        "busybox sh -c help | tail -n +3 | tr -s ' \\t' '\\n\\n'",
    };
    for (const char* list : kLists) {
        std::string program(list, std::strcspn(list, " "));
        if (system(("command -v " + program + " > /dev/null 2>&1").c_str()) != 0) {
            continue;
        }
        FILE* pipe = popen(list, "r");
        ASSERT_NE(pipe, nullptr);
        char line[256];
        int words = 0;
        while (fgets(line, sizeof line, pipe) != nullptr) {
            std::string word(line, std::strcspn(line, "\n"));
            if (!word.empty() && PrefixProblem(word).empty()) {
                ++words;
                EXPECT_TRUE(IsShellCommand(word)) << program << ": " << word;
            }
        }
        pclose(pipe);
        EXPECT_GT(words, 20) << list;
    }
    for (const char* name : {"cd:", "j", "c", "cdd", "go", "proj"}) {
        EXPECT_FALSE(IsShellCommand(name)) << name;
    }
}

// Each shell parses its script; shellcheck, which reads bash and POSIX sh but not zsh or fish,
// finds nothing in the scripts for those nor in the completion file for bash.
TEST_F(ShellInitTest, ScriptsParseInEveryShellAndPassShellcheck) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        for (const char* prefix : {"cd:", "x y", "cd"}) {
            int status = -1;
            std::string output =
                Run(std::string(shell.command) + " -n", Init(shell.kind, prefix), &status);
            EXPECT_EQ(status, 0) << shell.command << ", " << prefix << ": " << output;
        }
    }
    ASSERT_EQ(system("command -v shellcheck > /dev/null 2>&1"), 0)
        << "no shellcheck: scripts/install-deps.sh installs it";
    // A note on a text the program quoted (here the stub's path) would stand before the first
    // command, where shellcheck takes it for the whole file.
    for (const char* prefix : {"cd:", "x y"}) {
        for (Shell kind : {Shell::kBash, Shell::kSh}) {
            int status = -1;
            std::string dialect = kind == Shell::kBash ? "bash" : "sh";
            std::string output = Run("shellcheck -s " + dialect,
                                     ShellInitScript(kind, "/usr/bin/velmora", prefix), &status);
            EXPECT_EQ(status, 0) << dialect << ", " << prefix << ": " << output;
        }
    }
    int status = -1;
    std::string output = Run("shellcheck -s bash", CommandCompletionFile(Shell::kBash), &status);
    EXPECT_EQ(status, 0) << output;
}

// "-" alone goes back, as cd - does, where velmora would take it for the delete of no name.
TEST_F(ShellInitTest, CommandGoesWhereTheProgramPointsWithoutRunningThePathAndDashGoesBack) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        std::string output =
            Run(shell.command, Init(shell.kind, shell.prefix) + "cd /\n" + shell.prefix +
                                   " proj/src\nprintf 'at %s\\n' \"$PWD\"\n" + shell.prefix +
                                   " - >/dev/null\nprintf 'back at %s\\n' \"$PWD\"\n");
        EXPECT_EQ(output, "at " + target_ + "\nback at /\n") << shell.command;
        EXPECT_FALSE(Ran()) << shell.command;
    }
}

TEST_F(ShellInitTest, MissCommandAndDeleteLeaveTheDirectoryAndPassTheStatus) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        std::string prefix = shell.prefix, status = shell.status;
        std::string output = Run(
            shell.command, Init(shell.kind, prefix) + "cd /\n" + prefix + " miss\necho \"miss " +
                               status + " $PWD\"\n" + prefix + " ftp\necho \"ftp " + status +
                               " $PWD\"\n" + prefix + " -old\necho \"delete " + status + "\"\n");
        EXPECT_NE(output.find("miss 1 /\n"), std::string::npos) << shell.command << output;
        EXPECT_NE(output.find("velmora: ftp:srv is a command for the file manager"),
                  std::string::npos)
            << shell.command << output;
        EXPECT_NE(output.find("ftp 3 /\n"), std::string::npos) << shell.command << output;
        // The program takes a word beginning with '-' as an option unless "--" comes first.
        EXPECT_NE(output.find("deleted old\ndelete 0\n"), std::string::npos)
            << shell.command << output;
    }
}

// A shell under set -e leaves at a target it cannot go to, but says why first. fish has no set -e.
TEST_F(ShellInitTest, UnderSetEACommandTargetIsExplainedBeforeTheShellLeaves) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        if (shell.kind == Shell::kFish) {
            continue;
        }
        int status = -1;
        std::string output =
            Run(shell.command,
                Init(shell.kind, shell.prefix) + "set -e\n" + shell.prefix + " ftp\necho went on\n",
                &status);
        EXPECT_EQ(output,
                  "velmora: ftp:srv is a command for the file manager, not a directory; run it "
                  "from the command line of far2l\n")
            << shell.command;
        EXPECT_EQ(status, 3) << shell.command;
    }
}

// `velmora --configure` loads the script again, which the stub answers with next-init.
TEST_F(ShellInitTest, TheCommandFollowsANewPrefix) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        std::string prefix = shell.prefix, other = shell.otherPrefix, status = shell.status;
        std::ofstream(folder_ + "/next-init") << Init(shell.kind, other);
        std::string script = Init(shell.kind, prefix) + "velmora --configure\ncd /\n" + other +
                             " proj\nprintf 'at %s\\n' \"$PWD\"\n" + prefix + " proj\necho \"old " +
                             status + "\"\n";
        if (shell.kind == Shell::kBash) {
            script += "complete -p go:\n";
        }
        std::string output = Run(shell.command, script);
        EXPECT_NE(output.find("at " + target_ + "\n"), std::string::npos)
            << shell.command << output;
        EXPECT_NE(output.find("old 127\n"), std::string::npos) << shell.command << output;
        if (shell.kind == Shell::kBash) {
            EXPECT_NE(output.find("complete -o nospace -F _velmora_complete go:\n"),
                      std::string::npos)
                << output;
        }
    }
}

TEST_F(ShellInitTest, RefusedPrefixSaysWhyAndDefinesNothing) {
    for (const ShellUnderTest& shell : InstalledShells()) {
        std::string prefix = shell.prefix, status = shell.status;
        std::string output =
            Run(shell.command, Init(shell.kind, prefix) + Init(shell.kind, "x y") + prefix +
                                   " proj\necho \"old " + status + "\"\n");
        EXPECT_NE(output.find("the prefix \"x y\" cannot name a shell function"), std::string::npos)
            << shell.command << output;
        EXPECT_NE(output.find("old 127"), std::string::npos) << shell.command << output;
        output = Run(shell.command, Init(shell.kind, "x\x1b[2J"));
        EXPECT_NE(output.find("the prefix \"x\\x1b[2J\""), std::string::npos)
            << shell.command << output;

        // A prefix that is a command of the shell itself would take that command over.
        output = Run(shell.command, Init(shell.kind, "cd") + "cd /\npwd\n");
        EXPECT_NE(output.find("is a command of the shell itself"), std::string::npos)
            << shell.command << output;
        EXPECT_NE(output.find("\n/\n"), std::string::npos) << shell.command << output;
    }
}

TEST_F(ShellInitTest, FishLeavesTheFunctionsItShipsAlone) {
    if (system("command -v fish > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no fish";
    }
    std::string output = Run("fish", Init(Shell::kFish, "prevd") + "functions -D prevd\n");
    EXPECT_NE(output.find("is a command of the shell itself"), std::string::npos) << output;
    EXPECT_NE(output.find("/functions/prevd.fish"), std::string::npos) << output;
}

// ksh takes "cd:" for a label, so the alias would never run: the script says so and names the
// command that works instead.
TEST_F(ShellInitTest, KshSaysWhyAColonPrefixCannotWorkAndNamesOneThatDoes) {
    if (system("command -v ksh > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no ksh";
    }
    std::string output = Run(
        "ksh", Init(Shell::kSh, "cd:") + "cd /\n_velmora_cd proj\nprintf 'at %s\\n' \"$PWD\"\n");
    EXPECT_NE(output.find("ksh reads a word ending in ':' as a label"), std::string::npos)
        << output;
    EXPECT_NE(output.find("at " + target_ + "\n"), std::string::npos) << output;
    EXPECT_FALSE(Ran());
}

// The completion files of the velmora command: its commands, the shells of init, the names of
// bookmark tools, and stored names quoted as the prefix's command quotes them.
TEST_F(ShellInitTest, CommandCompletionFilesOfferCommandsShellsAndQuotedNames) {
    std::string bash =
        "_velmora_program=" + ShellQuote(stub_) + "\n" + CommandCompletionFile(Shell::kBash) + R"SH(
offer() {
    COMP_LINE=$1 COMP_POINT=${#1}
    read -ra COMP_WORDS <<< "$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _velmora_command
    printf '[%s]' "${COMPREPLY[@]}"
    echo
}
offer 'velmora ini'
offer 'velmora init f'
offer 'velmora x'
offer 'velmora x\$\('
offer 'velmora p'
offer 'velmora import --from '
)SH";
    // The program is asked only for the names that begin with what is typed, unquoted; bash
    // offers those that match it as typed (PROJ differs in letter case).
    EXPECT_EQ(Run("bash", bash),
              "[init]\n[fish]\n[x\\$\\(touch\\ ran\\)]\n[x\\$\\(touch\\ ran\\)]\n[proj][prune]\n"
              "[wd][bashmarks]\n");
    EXPECT_EQ(Asked(), "[ini][x][x$(][p]");
    if (system("command -v fish > /dev/null 2>&1") == 0) {
        // fish quotes otherwise than sh, so the stub's path comes from a file.
        std::ofstream(folder_ + "/program") << stub_;
        std::string fish = "set -g _velmora_program (string collect < " + folder_ + "/program)\n" +
                           CommandCompletionFile(Shell::kFish) +
                           "complete -C 'velmora ini'\ncomplete -C 'velmora init f'\n"
                           "complete -C 'velmora x'\ncomplete -C 'velmora oj'\n";
        std::remove((folder_ + "/asked").c_str());
        // fish looks inside the names when none begins with the text, so then it has them all.
        // Each name with its directory, each command with what it does.
        EXPECT_EQ(Run("fish", fish),
                  "init\tprint the shell integration, for the start-up file\nfish\n"
                  "x$(touch ran)\t/in\nPROJ\t/in\nproj\t/in\n");
        EXPECT_EQ(Asked(), "[ini][][x][oj][]");
    }
    if (system("command -v zsh > /dev/null 2>&1") == 0) {
        // zsh autoloads the file as the body of _velmora, which completes at once.
        ASSERT_EQ(mkdir((folder_ + "/functions").c_str(), 0700), 0);
        std::ofstream(folder_ + "/functions/_velmora") << CommandCompletionFile(Shell::kZsh);
        std::string zsh = "fpath=(" + ShellQuote(folder_ + "/functions") +
                          " $fpath)\nautoload -Uz _velmora\n"
                          "compadd() { print -r -- \"[$*]\"; }\n"
                          "words=(velmora init '') CURRENT=3\n_velmora\n";
        EXPECT_EQ(Run("zsh", zsh), "[-- bash zsh fish sh]\n");
    }
    EXPECT_FALSE(Ran());
}

}  // namespace
