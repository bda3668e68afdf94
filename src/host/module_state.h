// The module's process-wide state: the settings and the last name a jump or a delete did not
// find. Both buffers are made empty when the module is loaded and released when it is unloaded,
// the prefix first in and last out.
#pragma once

#include "platform.h"
#include "store/text_buffer.h"

// The options; an integer option is on when it is not 0. All are 0 and the prefix empty until
// the settings are loaded.
struct SettingsRecord {
    TextBuffer Prefix;
    DWORD ShowErrors = 0;
    DWORD ShowInPluginsMenu = 0;
    DWORD ShowInDiskMenu = 0;
    DWORD ShowTemporaryNamesAsHideFiles = 0;
    DWORD UseHighlighting = 0;
    DWORD AutoComplite = 0;
};

extern SettingsRecord Settings;
extern TextBuffer LastUnknownName;

// The prefix text to hand the host as its command prefix. The host may read it until it asks
// again, so a block once handed out stays alive until then even when the prefix changes.
const char* HandOutPrefix();
// Replaces the prefix text without releasing a block the host may still read.
void ReplacePrefix(const char* text);
