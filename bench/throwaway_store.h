// A registry store in throwaway folders for one benchmark run: the folders are made and named
// in the environment, before the first registry call opens the store, and removed at the end.
#pragma once

#include <string>

class ThrowawayStore {
  public:
    ThrowawayStore();
    ~ThrowawayStore();
    ThrowawayStore(const ThrowawayStore&) = delete;
    ThrowawayStore& operator=(const ThrowawayStore&) = delete;

    // False when the folders could not be made.
    bool Made() const { return !persistentDir_.empty() && !volatileDir_.empty(); }
    const std::string& persistentDir() const { return persistentDir_; }

  private:
    std::string persistentDir_;
    std::string volatileDir_;
};
