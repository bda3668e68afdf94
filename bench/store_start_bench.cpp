// What a start over an existing store costs, on a store of 100,000 names in "\Keys": a fresh
// process that reads one value or walks every name (store_probe, with its peak memory), and
// the opening of the database followed by one lookup and the closing, by a process that holds
// no other connection to it, as a starting one does not.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "posix/registry_db.h"
#include "store_faults.h"

extern char** environ;

namespace {

constexpr uint32_t kValueCount = 100000;
const char kKeys[] = "Software\\Far\\Plugins\\Velmora\\Keys";

std::string persistentDir;

std::string MakeTempDir(const char* label) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/velmora-bench-" + label + "-XXXXXX";
    char* made = mkdtemp(pattern.data());
    return made != nullptr ? made : "";
}

std::string NameAt(uint32_t i) {
    return "name" + std::to_string(i);
}

// Runs store_probe with `args` and waits for it; false when it failed. `peakKb` receives the
// peak memory it reports.
bool RunProbe(std::vector<std::string> args, long* peakKb) {
    args.insert(args.begin(), STORE_PROBE_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    int output[2];
    if (pipe(output) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    pid_t pid = 0;
    bool started =
        posix_spawn(&pid, STORE_PROBE_PATH, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    char text[32] = {};
    if (started && read(output[0], text, sizeof text - 1) > 0) {
        *peakKb = std::atol(text);
    }
    close(output[0]);
    int status = 0;
    return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Fills the store in a process of its own, so that this one holds no connection that the
// opening measured below would share.
bool Fill() {
    long peakKb = 0;
    return RunProbe({"fill", std::to_string(kValueCount)}, &peakKb);
}

void FreshProcess(benchmark::State& state, std::vector<std::string> args) {
    long peakKb = 0;
    uint32_t i = 0;
    for (auto _ : state) {
        std::vector<std::string> withName = args;
        if (args.size() == 1 && args[0] == "lookup") {
            withName.push_back(NameAt((i++ * 7919u) % kValueCount));
        }
        long probePeakKb = 0;
        if (!RunProbe(withName, &probePeakKb)) {
            state.SkipWithError("the probe failed");
            break;
        }
        peakKb = std::max(peakKb, probePeakKb);
    }
    state.counters["peak_MB"] = peakKb / 1024.0;
}

void BM_FreshProcessNothing(benchmark::State& state) {
    FreshProcess(state, {"none"});
}

// One jump's share of the store: the process opens the store and reads one value.
void BM_FreshProcessLookup(benchmark::State& state) {
    FreshProcess(state, {"lookup"});
}

// A listing of every name, with the process's peak memory.
void BM_FreshProcessWalk(benchmark::State& state) {
    FreshProcess(state, {"walk"});
}

// Opening the existing database, one lookup, closing: the store's part of a start without the
// process around it.
void BM_OpenLookupClose(benchmark::State& state) {
    using velmora::registry::Database;
    std::string file = persistentDir + "/hkcu.db";
    uint32_t i = 0;
    for (auto _ : state) {
        std::shared_ptr<Database> db;
        int64_t key = 0;
        velmora::registry::ValueRow row;
        if (Database::Open(file, kVelmoraPersistentStore, &db) != ERROR_SUCCESS ||
            db->FindKey(kKeys, &key) != ERROR_SUCCESS ||
            db->GetValue(key, NameAt((i++ * 7919u) % kValueCount).c_str(), &row) != ERROR_SUCCESS) {
            state.SkipWithError("the lookup failed");
            break;
        }
    }
}

BENCHMARK(BM_FreshProcessNothing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FreshProcessLookup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FreshProcessWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenLookupClose)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    persistentDir = MakeTempDir("reg");
    std::string volatileDir = MakeTempDir("vol");
    if (persistentDir.empty() || volatileDir.empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    // The probes inherit these and so open the same store.
    setenv("VELMORA_REGISTRY_DIR", persistentDir.c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", volatileDir.c_str(), 1);
    int status = 1;
    if (Fill()) {
        benchmark::RunSpecifiedBenchmarks();
        status = 0;
    } else {
        std::fprintf(stderr, "filling the store failed\n");
    }
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(persistentDir, ignored);
    std::filesystem::remove_all(volatileDir, ignored);
    return status;
}
