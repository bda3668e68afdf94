// far2l's side of the entry points; see far2l_entry_points.h.
#include "far2l_entry_points.h"

#include <initializer_list>

#include "entry/entry_points.h"
#include "far2l_services.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/settings.h"
#include "store_faults.h"

namespace {

// far2l hands a command line that no plugin claims to the shell. Besides the characters that end
// or join commands, quote, substitute or redirect, the shell gives a meaning of its own to '!'
// and '^' (history: "ftp:x!!" would splice the last command line in), '*?[]' (patterns that
// stand for file names), '~' (a home folder), '=' (an assignment such as "PATH=/tmp/x:y", which
// changes how every later command runs) and '\\' (an escape).
const char kShellSyntax[] = ";&|`$()<>{}'\"\\!^*?[]~=";

// The registry's status codes cannot say which store file is at fault or how, and with
// ShowErrors off (the default) a store that cannot be used looks like an empty one. So the
// faults the store met during a call are shown: every time when the call reports a failure
// (the command was not done, and the fault may be why), else once per session and store, as a
// warning beside what was done, such as a jump to a permanent name while the temporary names
// cannot be read.
bool shownInSession[2];
bool shownInCall[2];
// far2l may call the module again from inside a call (a panel redrawn behind a box), so only the
// outermost call starts and ends the record of what the store met.
int callDepth;
// The settings load meets the store before the host's services are there: what it met waits
// for the end of the first call.
bool startFaultsPending;

bool ShowFaults(bool commandFailed) {
    bool any = false;
    for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
        char line[4352];
        if (VelmoraStoreFault(store, line, sizeof line) == kStoreFaultNone) {
            continue;
        }
        any = true;
        if (shownInCall[store] || (!commandFailed && shownInSession[store])) {
            continue;
        }
        shownInCall[store] = shownInSession[store] = true;
        const char* lines[2] = {GetMsg(MErrorTitle), line};
        HostMessage(FMSG_MB_OK, lines, 2);
    }
    return any;
}

bool ShowFaultsOfFailedCommand() {
    return ShowFaults(true);
}

// Runs one of far2l's calls into the module. The store's record of faults is cleared when the
// call begins, so what it holds at the end is what this call met.
template <class Call>
auto AsOneCall(Call call) {
    if (callDepth++ == 0) {
        if (!startFaultsPending) {
            VelmoraClearStoreFaults();
        }
        startFaultsPending = false;
        shownInCall[0] = shownInCall[1] = false;
    }
    auto result = call();
    if (--callDepth == 0) {
        ShowFaults(false);
    }
    return result;
}

// far2l's ways with texts and paths, in place of the Windows host's.
void TakeFar2lRules() {
    Host.PathSeparator = far2l::kPathSeparator;
    Host.SaysFailedMoves = true;
    Host.CodePageTexts = false;
    Host.ShellSyntax = kShellSyntax;
}

}  // namespace

namespace far2l {

void SetStartupInfo(const PluginStartupInfo* info) {
    entry::SetStartupInfo(WrapFar2lServices(info));
    TakeFar2lRules();
    Host.ShowStoreFaults = ShowFaultsOfFailedCommand;
    startFaultsPending = true;
    shownInSession[0] = shownInSession[1] = false;
}

void StartWithoutHost() {
    TakeFar2lRules();
    LoadSettings(false);
}

HANDLE OpenPlugin(int openFrom, INT_PTR item) {
    return AsOneCall([&] { return entry::OpenPlugin(openFrom, item); });
}

int Configure(int itemNumber) {
    return AsOneCall([&] { return entry::Configure(itemNumber); });
}

int SetDirectory(HANDLE plugin, const char* dir, int opMode) {
    return AsOneCall([&] { return entry::SetDirectory(plugin, dir, opMode); });
}

int ProcessKey(HANDLE plugin, int key, unsigned int controlState) {
    // Only the key itself reaches the module: the pre-processing pass and the key releases
    // would run each action up to three times.
    if ((key & PKF_PREPROCESS) != 0 || (controlState & PKF_PREPROCESS) != 0) {
        return FALSE;
    }
    if (key == kFar2lKeyRelease && controlState == 0) {
        return FALSE;
    }
    return AsOneCall([&] { return entry::ProcessKey(plugin, key, controlState); });
}

int MakeDirectory(HANDLE plugin, char* name, int opMode) {
    return AsOneCall([&] { return entry::MakeDirectory(plugin, name, opMode); });
}

}  // namespace far2l
