// Loading and saving the options as values of the module's root key, and the configuration
// dialog that edits them.
#pragma once

#include "module_state.h"
#include "platform.h"
#include "store/reg_section.h"

// The prefix of a store that holds none.
constexpr char kDefaultPrefix[] = "cd:";

// One option as the registry keeps it below the module's root: the prefix is a text (REG_SZ),
// every switch a number (REG_DWORD) that fills `number` of the settings, with the default a
// load writes back for a missing one.
struct StoredOption {
    const char* name;
    // Null for the prefix.
    DWORD SettingsRecord::*number;
    DWORD fallback;
};
// Every option, in the order the module writes them.
extern const StoredOption kStoredOptions[7];

// Reads every option once, writing the default of each one that is missing or of another type
// back unless `writeDefaults` is false (a program that only reads the store). Never fails: an
// option that cannot be read takes its default for this process and keeps its stored value,
// and the prefix falls back to "cd:".
void LoadSettings(bool writeDefaults = true);
// Writes every option; a key that cannot be opened or a prefix that cannot be stored leaves
// as a thrown code.
void SaveSettings();
// 1 when the dialog was confirmed and the options saved, 0 when it was cancelled.
int RunConfigDialog();

// Where the prefix has a use besides the file manager's command line (the velmora program names a
// shell command after it), the program that links the module in judges a new prefix before the
// dialog takes it: null when it takes it, else the text to show, with `refused` set when it cannot
// be taken at all rather than once the user confirms. Null in the file managers.
using NewPrefixCheck = const char* (*)(const char* prefix, bool* refused);
extern NewPrefixCheck CheckNewPrefix;
