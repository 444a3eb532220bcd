// The checks of names and folders that every path the program builds goes through.
#include "toolkit/PathNames.h"

#include "toolkit/AnsiChars.h"

namespace {

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Each backslash-separated component of text passes check.
template <typename Check> bool everyComponent(std::string_view text, Check check) {
    for (;;) {
        size_t cut = ansi::findChar(text, '\\');
        if (!check(text.substr(0, cut))) return false;
        if (cut == std::string_view::npos) return true;
        text.remove_prefix(cut + 1);
    }
}

// The components after a folder's root ("X:" or "\\server"), or false when the folder has no
// such form. A drive root alone has none (rest is empty and hasComponents false).
bool splitRoot(std::string_view folder, std::string_view& rest, bool& hasComponents) {
    if (folder.size() >= 2 && isDriveLetter(folder[0]) && folder[1] == ':') {
        hasComponents = folder.size() > 2;
        if (!hasComponents) return true; // "X:", a drive root
        if (folder[2] != '\\' || folder.size() == 3) return false; // "X:\" ends in an empty part
        rest = folder.substr(3);
        return true;
    }
    // The first byte starts a character and a backslash leads none, so the second is whole too.
    if (folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\') {
        rest = folder.substr(2);
        hasComponents = true;
        // A server and a share at least: "\\server" alone names no folder.
        return ansi::findChar(rest, '\\') != std::string_view::npos;
    }
    return false;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool equalsAsciiUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (upperAscii(text[i]) != upper[i]) return false;
    return true;
}

} // namespace

bool hasWildcard(std::string_view text) {
    return ansi::findCharOf(text, "*?") != std::string_view::npos;
}

bool isPlainName(std::string_view name, QuestionMarks marks) {
    if (name.empty() || name == "." || name == "..") return false;
    const std::string_view refused =
        marks == QuestionMarks::Refused ? std::string_view("\\/:*?\0", 6) : std::string_view("\\/:*\0", 5);
    return ansi::findCharOf(name, refused) == std::string_view::npos;
}

bool isPlainFolder(std::string_view folder, QuestionMarks marks) {
    std::string_view rest;
    bool hasComponents = false;
    if (!splitRoot(folder, rest, hasComponents)) return false;
    return !hasComponents ||
           everyComponent(rest, [marks](std::string_view part) { return isPlainName(part, marks); });
}

bool isTrimmedName(std::string_view name) {
    if (name.empty()) return false;
    // Dots and blanks are below every trail byte: the last byte is the last character here.
    const char last = name.back();
    return last == '.' || last == ' ';
}

bool isDeviceName(std::string_view name) {
    // The platform reads the part before the first dot, blanks at its end dropped.
    std::string_view base = name.substr(0, ansi::findChar(name, '.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (equalsAsciiUpper(base, device)) return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
        return equalsAsciiUpper(base.substr(0, 3), "COM") || equalsAsciiUpper(base.substr(0, 3), "LPT");
    return false;
}

bool isActionableName(std::string_view name) {
    // A name of dots and blanks only ends in one of them, so isTrimmedName covers it.
    return isPlainName(name, QuestionMarks::Refused) && !isTrimmedName(name) && !isDeviceName(name);
}

bool isActionableFolder(std::string_view folder) {
    std::string_view rest;
    bool hasComponents = false;
    if (!splitRoot(folder, rest, hasComponents)) return false;
    return !hasComponents || everyComponent(rest, isActionableName);
}
