// Choosing the language file: the first folder with language files overrides the ones built
// in, a language is found by its identifier whatever its letter case, and there is always
// English to fall back to, so that no command fails for want of a text.
#include "language.h"

#include <strings.h>

#include <cstdlib>

#include "embedded_texts.h"
#include "lng_file.h"
#include "locations.h"

namespace {

const char kDefaultLanguage[] = "English";

struct Language {
    std::string id;
    std::vector<std::string> messages;
};

// The languages found in files, then those built in; a file that cannot be read is left out.
std::vector<Language> KnownLanguages() {
    std::vector<Language> languages;
    for (const std::string& file : LanguageFiles()) {
        Language language;
        if (LoadLanguageFile(file, &language.messages, &language.id)) {
            languages.push_back(std::move(language));
        }
    }
    for (int i = 0; i < kLanguageFilesCount; ++i) {
        Language language;
        std::string text(kLanguageFiles[i].bytes, kLanguageFiles[i].size);
        if (ParseLanguageText(text, &language.messages, &language.id)) {
            languages.push_back(std::move(language));
        }
    }
    return languages;
}

const Language* Find(const std::vector<Language>& languages, const std::string& id) {
    for (const Language& language : languages) {
        if (strcasecmp(language.id.c_str(), id.c_str()) == 0) {
            return &language;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> ModuleTexts(std::string* warning) {
    warning->clear();
    const char* chosen = std::getenv("VELMORA_LANGUAGE");
    std::string wanted = chosen != nullptr && *chosen != '\0' ? chosen : kDefaultLanguage;
    std::vector<Language> languages = KnownLanguages();
    if (const Language* language = Find(languages, wanted)) {
        return language->messages;
    }
    std::string known;
    for (const Language& language : languages) {
        if (known.find(language.id) == std::string::npos) {
            known += (known.empty() ? "" : ", ") + language.id;
        }
    }
    *warning = "there are no texts in '" + wanted +
               "', so they are in English; VELMORA_LANGUAGE may name " + known;
    const Language* english = Find(languages, kDefaultLanguage);
    return english != nullptr ? english->messages : std::vector<std::string>();
}
