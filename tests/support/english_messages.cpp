// Reading the English language file of the source tree.
#include "english_messages.h"

#include "lng_file.h"

std::vector<std::string> EnglishMessages() {
    std::vector<std::string> messages;
    std::string language;
    LoadLanguageFile(std::string(VELMORA_LNG_DIR) + "/VelmoraEng.lng", &messages, &language);
    return messages;
}
