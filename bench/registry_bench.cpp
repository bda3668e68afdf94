// Benchmarks of the name store's registry section with 100,000 names in "\Keys": one lookup
// (open, read one value, close) and a full walk (open, count, enumerate every name, read every
// value). The store lives in throwaway folders made for the run and removed after it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/reg_section.h"
#include "store/text_buffer.h"
#include "throwaway_store.h"

namespace {

constexpr uint32_t kValueCount = 100000;
const char kSection[] = "\\Keys";

std::vector<std::string> names;

std::string NameAt(uint32_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "name%06u", static_cast<unsigned>(i));
    return text;
}

// A target of a typical length, different for every name.
std::string PathAt(uint32_t i) {
    char text[64];
    std::snprintf(text, sizeof text, "/home/user/projects/area%03u/folder%06u",
                  static_cast<unsigned>(i % 1000), static_cast<unsigned>(i));
    return text;
}

// Writes every value value-by-value through the registry API, as the module would: each write
// is its own transaction, so the time printed here is what 100,000 additions cost.
bool Fill() {
    auto start = std::chrono::steady_clock::now();
    RegSection keys(kSection, true);
    names.reserve(kValueCount);
    for (uint32_t i = 0; i < kValueCount; ++i) {
        names.push_back(NameAt(i));
        if (!keys.WriteString(names.back().c_str(), PathAt(i).c_str())) {
            std::fprintf(stderr, "writing value %u failed\n", static_cast<unsigned>(i));
            return false;
        }
    }
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    std::printf("Filled %u values in \"%s\" value by value in %.2f s (%.1f us per value)\n",
                static_cast<unsigned>(kValueCount), kSection, spent.count(),
                spent.count() * 1e6 / kValueCount);
    return true;
}

// A lookup as the module makes one: the section is opened and closed around the single read.
// The names are visited in a scattered order so that no one row stays hot.
void BM_OpenReadClose(benchmark::State& state) {
    TextBuffer value;
    uint32_t i = 0;
    for (auto _ : state) {
        const std::string& name = names[(i * 7919u) % kValueCount];
        ++i;
        RegSection keys(kSection, true);
        if (!keys.ReadString(name.c_str(), value)) {
            state.SkipWithError("a stored value could not be read");
            break;
        }
        benchmark::DoNotOptimize(value.data);
    }
    state.SetLabel("target < 50 us");
}

// The walk a listing of every name makes.
void BM_OpenCountEnumerateRead(benchmark::State& state) {
    TextBuffer name;
    TextBuffer value;
    for (auto _ : state) {
        RegSection keys(kSection, true);
        RegValueCursor cursor(keys);
        uint32_t count = 0;
        if (!cursor.Count(count) || count != kValueCount) {
            state.SkipWithError("the count of values is wrong");
            break;
        }
        uint32_t seen = 0;
        while (cursor.Next(name)) {
            if (!keys.ReadString(name.data, value)) {
                break;
            }
            ++seen;
        }
        if (seen != count) {
            state.SkipWithError("not every value was enumerated and read");
            break;
        }
        benchmark::DoNotOptimize(value.data);
    }
    state.SetLabel("target < 100 ms");
    state.SetItemsProcessed(state.iterations() * kValueCount);
}

BENCHMARK(BM_OpenReadClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenCountEnumerateRead)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    ThrowawayStore store;
    if (!store.Made()) {
        std::perror("mkdtemp");
        return 1;
    }
    int status = 1;
    try {
        if (Fill()) {
            benchmark::RunSpecifiedBenchmarks();
            status = 0;
        }
    } catch (...) {
        std::fprintf(stderr, "the registry section could not be opened\n");
    }
    benchmark::Shutdown();
    return status;
}
