// far2l's side of the entry points; see far2l_entry_points.h.
#include "far2l_entry_points.h"

#include <initializer_list>

#include "../platform/store_faults.h"
#include "entry_points.h"
#include "far2l_services.h"
#include "host_services.h"
#include "messages.h"

namespace {

// far2l hands a command line that no plugin claims to the shell. Besides the characters that end
// or join commands, quote, substitute or redirect, the shell gives a meaning of its own to '!'
// and '^' (history: "ftp:x!!" would splice the last command line in), '*?[]' (patterns that
// stand for file names), '~' (a home folder), '=' (an assignment such as "PATH=/tmp/x:y", which
// changes how every later command runs) and '\\' (an escape).
const char kShellSyntax[] = ";&|`$()<>{}'\"\\!^*?[]~=";

// far2l calls ProcessKey up to four times per key press: a pre-processing pass with this bit
// set in the key (TRUE there swallows the key), the key itself, and two key-release calls.
constexpr int kPreprocessKey = 0x80000;
constexpr int kKeyRelease = 0x1;

// The registry's status codes cannot say which store file is at fault or how, and with
// ShowErrors off (the default) a store that cannot be used looks like an empty one. So the
// first fault each store records in a session is shown, after the call that met it; a fault
// of the settings load, before the host's services are there, waits for the first such call.
bool faultShown[2];

void ShowStoreFaults() {
    for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
        char line[4352];
        if (faultShown[store] || VelmoraStoreFault(store, line, sizeof line) == kStoreFaultNone) {
            continue;
        }
        faultShown[store] = true;
        const char* lines[2] = {GetMsg(MErrorTitle), line};
        HostMessage(FMSG_MB_OK, lines, 2);
    }
}

template <class Result>
Result AfterStoreUse(Result result) {
    ShowStoreFaults();
    return result;
}

}  // namespace

namespace far2l {

void SetStartupInfo(const PluginStartupInfo* info) {
    entry::SetStartupInfo(WrapFar2lServices(info));
    Host.PathSeparator = kPathSeparator;
    Host.SaysFailedMoves = true;
    Host.CodePageTexts = false;
    Host.ShellSyntax = kShellSyntax;
}

HANDLE OpenPlugin(int openFrom, INT_PTR item) {
    return AfterStoreUse(entry::OpenPlugin(openFrom, item));
}

int Configure(int itemNumber) {
    return AfterStoreUse(entry::Configure(itemNumber));
}

int SetDirectory(HANDLE plugin, const char* dir, int opMode) {
    return AfterStoreUse(entry::SetDirectory(plugin, dir, opMode));
}

int ProcessKey(HANDLE plugin, int key, unsigned int controlState) {
    // Only the key itself reaches the module: the pre-processing pass and the key releases
    // would run each action up to three times.
    if ((key & kPreprocessKey) != 0 || (controlState & PKF_PREPROCESS) != 0) {
        return FALSE;
    }
    if (key == kKeyRelease && controlState == 0) {
        return FALSE;
    }
    return AfterStoreUse(entry::ProcessKey(plugin, key, controlState));
}

int MakeDirectory(HANDLE plugin, char* name, int opMode) {
    return AfterStoreUse(entry::MakeDirectory(plugin, name, opMode));
}

}  // namespace far2l
