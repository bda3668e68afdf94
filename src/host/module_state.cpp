// The process-wide state, defined in one place so that the buffers are set up in a fixed order
// at load (the prefix, then the last unknown name) and released in the reverse order.
#include "module_state.h"

SettingsRecord Settings;
TextBuffer LastUnknownName;

namespace {

// The block most recently handed to the host, and the old prefix block kept for it.
const char* handedPrefix = nullptr;
TextBuffer retiredPrefix;

}  // namespace

const char* HandOutPrefix() {
    handedPrefix = Settings.Prefix.Text();
    return handedPrefix;
}

void ReplacePrefix(const char* text) {
    // The new text first: when its block is refused, the prefix stays as it was instead of
    // becoming empty, which would leave the module without a command prefix.
    TextBuffer replacement;
    replacement.Assign(text);
    if (Settings.Prefix.data != nullptr && Settings.Prefix.data == handedPrefix) {
        // A block retired earlier was handed out before the host last asked: it can go now.
        retiredPrefix.Swap(Settings.Prefix);
    }
    // The block given up (the earlier retired one, or the prefix not handed out) goes with
    // `replacement`.
    Settings.Prefix.Swap(replacement);
}
