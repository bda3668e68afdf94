// What a start over an existing store costs, on a store of 100,000 names in "\Keys": a fresh
// process that reads one value or walks every name (store_probe, with its peak memory), and
// the opening of the database followed by one lookup and the closing, by a process that holds
// no other connection to it, as a starting one does not.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "posix/registry_db.h"
#include "store_faults.h"
#include "throwaway_store.h"

extern char** environ;

namespace {

constexpr uint32_t kValueCount = 100000;
const char kKeys[] = "Software\\Far\\Plugins\\Velmora\\Keys";

std::string persistentDir;
std::string NameAt(uint32_t i) {
    return "name" + std::to_string(i);
}

// What a probe process used: its peak memory as it reports it, and the processor time the kernel
// counted for it, which the other processes of a busy machine disturb less than the wall clock.
struct ProbeUsage {
    long peakKb = 0;
    double cpuMs = 0;
};

// Runs store_probe with `args` and waits for it; false when it failed.
bool RunProbe(std::vector<std::string> args, ProbeUsage* usage) {
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
        usage->peakKb = std::atol(text);
    }
    close(output[0]);
    int status = 0;
    rusage used{};
    bool done = started && wait4(pid, &status, 0, &used) == pid && WIFEXITED(status) &&
                WEXITSTATUS(status) == 0;
    usage->cpuMs = (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
                   (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
    return done;
}

// Fills the store in a process of its own, so that this one holds no connection that the
// opening measured below would share.
bool Fill() {
    ProbeUsage usage;
    return RunProbe({"fill", std::to_string(kValueCount)}, &usage);
}

void FreshProcess(benchmark::State& state, std::vector<std::string> args) {
    long peakKb = 0;
    double cpuMs = 0;
    uint32_t i = 0;
    for (auto _ : state) {
        std::vector<std::string> withName = args;
        if (args.size() == 1 && args[0] == "lookup") {
            withName.push_back(NameAt((i++ * 7919u) % kValueCount));
        }
        ProbeUsage usage;
        if (!RunProbe(withName, &usage)) {
            state.SkipWithError("the probe failed");
            break;
        }
        peakKb = std::max(peakKb, usage.peakKb);
        cpuMs += usage.cpuMs;
    }
    state.counters["peak_MB"] = peakKb / 1024.0;
    state.counters["probe_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
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
        if (Database::Open(file, kVelmoraPersistentStore, false, &db) != ERROR_SUCCESS ||
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
    // Each closing connection frees what its opening took, and glibc would hand the top of the
    // heap back to the kernel every time, only to take it again at the next open: a cost a
    // starting process, which opens once, never pays.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    ThrowawayStore store;
    if (!store.Made()) {
        std::perror("mkdtemp");
        return 1;
    }
    persistentDir = store.persistentDir();
    int status = 1;
    if (Fill()) {
        benchmark::RunSpecifiedBenchmarks();
        status = 0;
    } else {
        std::fprintf(stderr, "filling the store failed\n");
    }
    benchmark::Shutdown();
    return status;
}
