// Writing and reading the lines of an export.
#include "exchange_format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/settings.h"
#include "shell_commands.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "unreachable_names.h"
#include "value_name_limit.h"

const char kExchangeHeader[] = "velmora export 1";

namespace {

struct Kind {
    StoreSection section;
    const char* word;
};
const Kind kKinds[] = {
    {StoreSection::kRoot, "setting"},
    {StoreSection::kKeys, "name"},
    {StoreSection::kTempKeys, "temporary"},
    {StoreSection::kFilters, "filter"},
};

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte >= 0x7F || byte == '\\';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::vector<std::string> SplitAtTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// Settings of other names (a later version's) are taken as they are.
std::string SettingProblem(const StoreValue& value) {
    for (const StoredOption& option : kStoredOptions) {
        if (NameKey(value.name) != NameKey(option.name)) {
            continue;
        }
        bool text = option.number == nullptr;
        if (value.type != (text ? REG_SZ : REG_DWORD)) {
            return std::string(option.name) + " is a " + (text ? "text" : "number");
        }
        PrefixVerdict verdict = text ? JudgeChosenPrefix(value.Text()) : PrefixVerdict();
        return verdict.refused ? "the prefix " + verdict.problem : "";
    }
    return "";
}

// A number as a setting holds it: decimal, 0 to 4294967295.
bool ParseNumber(const std::string& text, DWORD* number) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    *number = static_cast<DWORD>(value);
    return value <= 0xFFFFFFFFull;
}

}  // namespace

std::string EscapeField(const std::string& bytes) {
    std::string field;
    for (unsigned char byte : bytes) {
        if (byte == '\\') {
            field += "\\\\";
        } else if (NeedsEscape(byte)) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            field += code;
        } else {
            field += static_cast<char>(byte);
        }
    }
    return field;
}

bool UnescapeField(const std::string& field, std::string* bytes) {
    bytes->clear();
    for (size_t i = 0; i < field.size(); ++i) {
        // The bytes up to the next escape are taken as they are, at once.
        size_t escape = std::min(field.find('\\', i), field.size());
        bytes->append(field, i, escape - i);
        i = escape;
        if (i == field.size()) {
            break;
        }
        if (i + 1 < field.size() && field[i + 1] == '\\') {
            *bytes += '\\';
            ++i;
        } else if (i + 3 < field.size() && field[i + 1] == 'x' && HexDigit(field[i + 2]) >= 0 &&
                   HexDigit(field[i + 3]) >= 0) {
            *bytes += static_cast<char>(HexDigit(field[i + 2]) * 16 + HexDigit(field[i + 3]));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

std::string FormatEntry(const ExchangeEntry& entry) {
    std::string line;
    for (const Kind& kind : kKinds) {
        if (kind.section == entry.section) {
            line = kind.word;
        }
    }
    line += '\t' + EscapeField(entry.value.name) + '\t';
    const StoreValue& value = entry.value;
    bool setting = entry.section == StoreSection::kRoot;
    if (value.type == REG_SZ) {
        return line + (setting ? "text\t" : "") + EscapeField(value.Text());
    }
    if (setting && value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        for (size_t i = sizeof number; i-- > 0;) {
            number = number << 8 | static_cast<unsigned char>(value.data[i]);
        }
        return line + "number\t" + std::to_string(number);
    }
    return "";
}

bool ParseEntry(const std::string& line, ExchangeEntry* entry, std::string* problem) {
    std::vector<std::string> fields = SplitAtTabs(line);
    const Kind* kind = nullptr;
    for (const Kind& candidate : kKinds) {
        if (fields[0] == candidate.word) {
            kind = &candidate;
        }
    }
    if (kind == nullptr) {
        *problem = "no entry begins with \"" + EscapeField(fields[0]) + "\"";
        return false;
    }
    bool setting = kind->section == StoreSection::kRoot;
    if (fields.size() != (setting ? 4u : 3u)) {
        *problem = std::string("a ") + kind->word + " line has " + (setting ? "4" : "3") +
                   " fields separated by tabs";
        return false;
    }
    entry->section = kind->section;
    StoreValue& value = entry->value;
    std::string text;
    if (!UnescapeField(fields[1], &value.name) || !UnescapeField(fields.back(), &text)) {
        *problem = "a backslash that is neither \\\\ nor \\x and two hex digits";
        return false;
    }
    if (!setting || fields[2] == "text") {
        value.type = REG_SZ;
        value.data = text + '\0';
        return true;
    }
    DWORD number = 0;
    if (fields[2] != "number" || !ParseNumber(text, &number)) {
        *problem = "a setting is \"text\" or a \"number\" from 0 to 4294967295";
        return false;
    }
    value.type = REG_DWORD;
    value.data.clear();
    for (size_t i = 0; i < sizeof number; ++i) {
        value.data += static_cast<char>(number >> (8 * i) & 0xFF);
    }
    return true;
}

bool HoldsItsDefault(const StoreValue& setting) {
    for (const StoredOption& option : kStoredOptions) {
        if (NameKey(setting.name) != NameKey(option.name)) {
            continue;
        }
        if (option.number == nullptr) {
            return setting.type == REG_SZ && setting.Text() == kDefaultPrefix;
        }
        DWORD number = 0;
        if (setting.type != REG_DWORD || setting.data.size() != sizeof number) {
            return false;
        }
        std::memcpy(&number, setting.data.data(), sizeof number);
        return number == option.fallback;
    }
    return false;
}

std::string EntryProblem(const ExchangeEntry& entry) {
    const StoreValue& value = entry.value;
    if (value.name.empty()) {
        return "an empty name";
    }
    if (value.name.find('\0') != std::string::npos) {
        return "a name cannot hold the byte 0";
    }
    if (value.name.size() > kLongestValueName) {
        return "a name longer than " + std::to_string(kLongestValueName) +
               " bytes, which velmora cannot keep";
    }
    if (entry.section == StoreSection::kRoot) {
        return SettingProblem(value);
    }
    bool filter = entry.section == StoreSection::kFilters;
    // An import stores the names an add would: a filter is reached by its whole name.
    if (!filter && !WhyUnreachable(value.name).empty()) {
        return WhyUnreachable(value.name);
    }
    std::string text = value.Text();
    if (text.find('\0') != std::string::npos) {
        return filter ? "a pattern cannot hold the byte 0" : "a target cannot hold the byte 0";
    }
    if (filter) {
        return "";
    }
    if (text.empty()) {
        return "an empty target";
    }
    if (text[0] != '/' && PluginCommandPos(text.c_str()) == 0) {
        return text[0] == '~' ? "a target beginning with ~, which is not taken for the home folder"
                              : "a relative target (a directory begins with /)";
    }
    return "";
}

bool SetsPrefix(const ExchangeEntry& entry) {
    for (const StoredOption& option : kStoredOptions) {
        if (option.number == nullptr) {
            return entry.section == StoreSection::kRoot && entry.value.type == REG_SZ &&
                   NameKey(entry.value.name) == NameKey(option.name);
        }
    }
    return false;
}
