// The benchmarks' throwaway store; see throwaway_store.h.
#include "throwaway_store.h"

#include <stdlib.h>

#include <filesystem>

namespace {

std::string MakeTempDir(const char* label) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/velmora-bench-" + label + "-XXXXXX";
    char* made = mkdtemp(pattern.data());
    return made != nullptr ? made : "";
}

}  // namespace

ThrowawayStore::ThrowawayStore()
    : persistentDir_(MakeTempDir("reg")), volatileDir_(MakeTempDir("vol")) {
    // Processes the benchmark starts inherit these and so open the same store.
    setenv("VELMORA_REGISTRY_DIR", persistentDir_.c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", volatileDir_.c_str(), 1);
}

ThrowawayStore::~ThrowawayStore() {
    std::error_code ignored;
    for (const std::string& dir : {persistentDir_, volatileDir_}) {
        if (!dir.empty()) {
            std::filesystem::remove_all(dir, ignored);
        }
    }
}
