// The checks of names and folders that every path the program builds goes through.
#include "toolkit/PathNames.h"

namespace {

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Each backslash-separated component of text is a plain name.
bool componentsArePlain(std::string_view text, QuestionMarks marks) {
    for (;;) {
        size_t cut = text.find('\\');
        if (!isPlainName(text.substr(0, cut), marks)) return false;
        if (cut == std::string_view::npos) return true;
        text.remove_prefix(cut + 1);
    }
}

} // namespace

bool hasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool isPlainName(std::string_view name, QuestionMarks marks) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '\0') return false;
        if (c == '?' && marks == QuestionMarks::Refused) return false;
    }
    return true;
}

bool isPlainFolder(std::string_view folder, QuestionMarks marks) {
    if (folder.size() >= 2 && isDriveLetter(folder[0]) && folder[1] == ':') {
        if (folder.size() == 2) return true;             // "X:", a drive root
        if (folder[2] != '\\' || folder.size() == 3) return false; // "X:\" ends in an empty part
        return componentsArePlain(folder.substr(3), marks);
    }
    if (folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\') {
        std::string_view rest = folder.substr(2);
        // A server and a share at least: "\\server" alone names no folder.
        if (rest.find('\\') == std::string_view::npos) return false;
        return componentsArePlain(rest, marks);
    }
    return false;
}
