// One Tab behind the prefix's command in bash, zsh and fish over a store of 100,000 names, with 1,
// 10, 1,000 and 10,000 of them matching the typed text. Each shell runs the velmora integration as
// a user loads it and stays up for the whole run; a Tab is asked of it through a pipe and timed
// until its answer (the number of names it would offer) comes back: bash runs the completion
// function as readline calls it, zsh completes in a terminal of its own (zpty) through its
// completion system, fish answers `complete -C`. The store is filled by store_filler; the program
// is this build's, or the one named by VELMORA_BENCH_PROGRAM.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "throwaway_store.h"

extern char** environ;

namespace {

constexpr int kNameCount = 100000;

// What is typed behind "cd: " and how many of the names filled in begin with it.
const struct {
    const char* typed;
    int matching;
} kTabs[] = {{"name099999", 1}, {"name09999", 10}, {"name099", 1000}, {"name09", 10000}};

// Each driver loads the integration from $VELMORA_BENCH_INIT, then answers every line read with
// the number of names a Tab after "cd: LINE" offers.
const char kBashDriver[] = R"SH(
source "$VELMORA_BENCH_INIT"
while IFS= read -r line; do
    COMP_LINE="cd: $line" COMP_POINT=$((4 + ${#line}))
    _velmora_complete
    printf '%s\n' "${#COMPREPLY[@]}"
done
)SH";

const char kFishDriver[] = R"FISH(
source $VELMORA_BENCH_INIT
while read -l line
    complete -C "cd: $line" | count
end
)FISH";

// zsh completes only in its line editor: an interactive zsh in a terminal of zpty's, whose Tab
// completes and prints the number of matches instead of inserting or listing them.
const char kZshDriver[] = R"SH(
zmodload zsh/zpty
zpty -b tab "ZDOTDIR=${(q)VELMORA_BENCH_ZDOTDIR} zsh -i"
zpty -r tab ready '*tab% '
while IFS= read -r line; do
    zpty -w -n tab "cd: $line"$'\t'
    zpty -r tab answer '*@@*@@'
    zpty -w -n tab $'\C-u'
    answer=${answer%@@}
    print -r -- ${answer##*@@}
done
)SH";

const char kZshRc[] = R"SH(
autoload -Uz compinit && compinit -u -D
source "$VELMORA_BENCH_INIT"
PS1='tab%% '
unsetopt auto_list list_beep beep
_bench_tab() {
    _main_complete
    print -n "@@${compstate[nmatches]}@@" > /dev/tty
    compstate[insert]='' compstate[list]=''
}
zle -C bench-tab complete-word _bench_tab
bindkey '^I' bench-tab
)SH";

// A shell started with its driver, talked to through pipes.
class Shell {
  public:
    Shell(const std::vector<std::string>& command) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
    }
    ~Shell() {
        if (to_ != nullptr) {
            std::fclose(to_);
        }
        if (from_ != nullptr) {
            std::fclose(from_);
        }
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // The number of names a Tab after `typed` offers; -1 when the shell gave no answer.
    int Tab(const std::string& typed) {
        if (pid_ <= 0 || std::fprintf(to_, "%s\n", typed.c_str()) < 0 || std::fflush(to_) != 0) {
            return -1;
        }
        char line[64];
        return std::fgets(line, sizeof line, from_) != nullptr ? std::atoi(line) : -1;
    }

  private:
    pid_t pid_ = 0;
    FILE* to_ = nullptr;
    FILE* from_ = nullptr;
};

bool Installed(const std::string& shell) {
    return std::system(("command -v " + shell + " > /dev/null 2>&1").c_str()) == 0;
}

// `text` as one word of sh.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void Tab(benchmark::State& state, Shell* shell, const char* typed, int matching) {
    for (auto _ : state) {
        int offered = shell->Tab(typed);
        if (offered != matching) {
            state.SkipWithError(
                ("offered " + std::to_string(offered) + " names, not " + std::to_string(matching))
                    .c_str());
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // Filled by a process of its own, so that no connection of this one keeps the store open for
    // the shells' programs.
    ThrowawayStore store;
    if (!store.Made() ||
        std::system((Quoted(STORE_FILLER_PATH) + " " + std::to_string(kNameCount)).c_str()) != 0) {
        std::fprintf(stderr, "filling the store failed\n");
        return 1;
    }
    std::string folder = store.persistentDir() + "-shells";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/.zshrc") << kZshRc;
    setenv("VELMORA_BENCH_ZDOTDIR", folder.c_str(), 1);
    // Another build's program (VELMORA_BENCH_PROGRAM) gives the figures to compare with.
    const char* other = std::getenv("VELMORA_BENCH_PROGRAM");
    std::string program = other != nullptr ? other : VELMORA_PROGRAM_PATH;
    std::vector<std::unique_ptr<Shell>> shells;
    for (const char* name : {"bash", "zsh", "fish"}) {
        if (!Installed(name)) {
            std::fprintf(stderr, "%s is not installed: no figures for it\n", name);
            continue;
        }
        std::string init = folder + "/init." + name;
        if (std::system((Quoted(program) + " init " + name + " > " + Quoted(init)).c_str()) != 0) {
            std::fprintf(stderr, "velmora init %s failed\n", name);
            return 1;
        }
        setenv("VELMORA_BENCH_INIT", init.c_str(), 1);
        std::string shell = name;
        std::vector<std::string> command =
            shell == "bash"
                ? std::vector<std::string>{"bash", "--norc", "--noprofile", "-c", kBashDriver}
            : shell == "zsh" ? std::vector<std::string>{"zsh", "-f", "-c", kZshDriver}
                             : std::vector<std::string>{"fish", "--no-config", "-c", kFishDriver};
        shells.push_back(std::make_unique<Shell>(command));
        for (const auto& tab : kTabs) {
            std::string title = "Tab/" + shell + "/" + std::to_string(tab.matching) + "_matching";
            benchmark::RegisterBenchmark(title.c_str(), Tab, shells.back().get(), tab.typed,
                                         tab.matching)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shells.clear();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
