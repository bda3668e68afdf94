// The shell integration run by real shells: what it defines for a prefix, what it refuses, and
// that nothing it is handed (a stored path, a name, the program's own path) is run as code.
// A stub program stands in for velmora and answers as velmora does.
#include "shell_init.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class ShellInitTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora-shell-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // The directory the stub names for every jump holds what a shell would run if it
        // evaluated the text.
        target_ = folder_ + "/to $(touch " + folder_ + "/ran) `touch " + folder_ + "/ran`";
        ASSERT_EQ(system(("mkdir -p " + ShellQuote(target_)).c_str()), 0);
        stub_ = folder_ + "/velmora stub's";
        std::ofstream stub(stub_);
        stub << "#!/bin/sh\n"
                "case \"$2\" in\n"
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

    std::string folder_, target_, stub_;
};

bool HaveZsh() {
    return system("command -v zsh > /dev/null 2>&1") == 0;
}

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

TEST_F(ShellInitTest, ScriptsParseInBothShells) {
    for (const char* prefix : {"cd:", "x y", "cd"}) {
        int status = -1;
        std::string output = Run("bash -n", Init(Shell::kBash, prefix), &status);
        EXPECT_EQ(status, 0) << prefix << ": " << output;
        if (HaveZsh()) {
            output = Run("zsh -n", Init(Shell::kZsh, prefix), &status);
            EXPECT_EQ(status, 0) << prefix << ": " << output;
        }
    }
}

TEST_F(ShellInitTest, FunctionGoesWhereTheProgramPointsWithoutRunningThePath) {
    for (const char* shell : {"bash", "zsh"}) {
        if (std::string(shell) == "zsh" && !HaveZsh()) {
            continue;
        }
        Shell kind = std::string(shell) == "bash" ? Shell::kBash : Shell::kZsh;
        std::string output =
            Run(shell, Init(kind, "cd:") + "cd / && cd: proj/src && printf 'at %s\\n' \"$PWD\"\n");
        EXPECT_EQ(output, "at " + target_ + "\n") << shell;
        EXPECT_FALSE(Ran()) << shell;
    }
}

TEST_F(ShellInitTest, MissAndCommandLeaveTheDirectoryAndPassTheStatus) {
    std::string output = Run("bash", Init(Shell::kBash, "cd:") +
                                         "cd /; cd: miss; echo \"miss $? $PWD\"\n"
                                         "cd: ftp; echo \"ftp $? $PWD\"\n");
    EXPECT_NE(output.find("miss 1 /\n"), std::string::npos) << output;
    EXPECT_NE(output.find("command for the file manager: ftp:srv\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ftp 3 /\n"), std::string::npos) << output;
}

TEST_F(ShellInitTest, ANewPrefixReplacesTheFormerFunction) {
    std::string output = Run("bash", Init(Shell::kBash, "cd:") + Init(Shell::kBash, "go:") +
                                         "type -t cd: || echo 'no cd:'\ntype -t go:\n"
                                         "complete -p go:\n");
    EXPECT_EQ(output, "no cd:\nfunction\ncomplete -o nospace -F _velmora_complete go:\n");
}

TEST_F(ShellInitTest, RefusedPrefixSaysWhyAndDefinesNothing) {
    std::string output = Run("bash", Init(Shell::kBash, "cd:") + Init(Shell::kBash, "x y") +
                                         "type -t cd: || echo 'no cd:'\n");
    EXPECT_NE(output.find("the prefix \"x y\" cannot name a shell function"), std::string::npos)
        << output;
    EXPECT_NE(output.find("no cd:"), std::string::npos) << output;

    // A prefix that is a command of the shell itself would take that command over.
    output = Run("bash", Init(Shell::kBash, "cd") + "type -t cd\ncd / && pwd\n");
    EXPECT_NE(output.find("is a command of the shell itself"), std::string::npos) << output;
    EXPECT_NE(output.find("builtin\n/\n"), std::string::npos) << output;
}

}  // namespace
