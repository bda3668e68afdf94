// Splitting a box's lines to far2l's screen; see far2l_box_lines.h.
#include "far2l_box_lines.h"

#include "store/utf8.h"

namespace {

// Too narrow a piece would say nothing per line; far2l's screen is rarely this narrow.
constexpr int kNarrowestPiece = 20;

// The bytes of the character that begins at `i`: a UTF-8 character whole, any other byte alone,
// each taking one column.
size_t CharacterLength(const std::string& text, size_t i) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    char32_t ignored = 0;
    size_t length = Utf8Length(bytes + i, text.size() - i, &ignored);
    return length != 0 ? length : 1;
}

// A piece ends behind its last blank or '/', so that words and folder names stay whole, unless
// that would leave it less than half full (a long folder name is then split where it must be).
void Split(const std::string& line, int width, std::vector<std::string>& pieces) {
    size_t start = 0;
    while (start < line.size()) {
        size_t end = start;
        size_t lastBreak = 0;
        for (int columns = 0; end < line.size() && columns < width; ++columns) {
            char c = line[end];
            end += CharacterLength(line, end);
            if ((c == ' ' || c == '/') && 2 * (columns + 1) >= width) {
                lastBreak = end;
            }
        }
        if (end < line.size() && lastBreak > start) {
            end = lastBreak;
        }
        pieces.push_back(line.substr(start, end - start));
        start = end;
    }
}

}  // namespace

std::vector<std::string> FitBoxLines(const char* const* lines, int count, int screenWidth) {
    std::vector<std::string> fitted;
    int width = screenWidth - kFar2lBoxFrame;
    width = width > kNarrowestPiece ? width : kNarrowestPiece;
    for (int i = 0; i < count; ++i) {
        std::string line = lines[i] != nullptr ? lines[i] : "";
        if (i == 0 || screenWidth == 0 || line.empty()) {
            fitted.push_back(line);
        } else {
            Split(line, width, fitted);
        }
    }
    return fitted;
}
