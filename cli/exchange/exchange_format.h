// The text format of `velmora export` and `velmora import`: one entry a line, fields separated
// by tabs, every byte a store can hold written so that it comes back the same. The README's
// section "Export and import" describes it for people.
#pragma once

#include <string>
#include <vector>

#include "store_sections.h"

// The first line of every export: it names the format and its version.
extern const char kExchangeHeader[];

struct ExchangeEntry {
    // The root for a setting.
    StoreSection section = StoreSection::kKeys;
    // A text (REG_SZ) or, for a setting, a number (REG_DWORD).
    StoreValue value;
};

// Tabs, line ends, backslashes, bytes 0x00-0x1F, 0x7F and 0x80-0xFF are written as \xHH (a
// backslash as \\), so a field never holds a separator and survives any text tool.
std::string EscapeField(const std::string& bytes);
// False for a lone backslash or a \x without two hex digits.
bool UnescapeField(const std::string& field, std::string* bytes);

// The entry's line without its line end; empty for a value of a type the format has no word
// for (the module stores none such).
std::string FormatEntry(const ExchangeEntry& entry);
// Reads a line written by FormatEntry; false with what is wrong.
bool ParseEntry(const std::string& line, ExchangeEntry* entry, std::string* problem);

// Whether a setting holds the default that the module writes for it where it is missing.
bool HoldsItsDefault(const StoreValue& setting);

// Why the store cannot hold the entry, or must not take it; empty when it can. A setting the
// module reads as a number or as the prefix has that type, and the prefix is not refused as the
// name of the shell's command; a name is one a jump reaches, as an add stores; a name's target is
// an absolute path or a command for the file manager.
std::string EntryProblem(const ExchangeEntry& entry);

// Whether the entry is the setting of the prefix, which names the shell's command: an import
// judges it as the settings dialog judges a prefix chosen there (JudgeChosenPrefix).
bool SetsPrefix(const ExchangeEntry& entry);
