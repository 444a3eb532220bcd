// Trimming of typed names and the server-name form.
#include "options/NameText.h"

namespace {

void skipLeading(std::string_view& text, bool (*test)(char)) {
    size_t n = 0;
    while (n < text.size() && test(text[n]))
        ++n;
    text.remove_prefix(n);
}

bool isBackslash(char c) {
    return c == '\\';
}

} // namespace

bool isNameSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string trimName(std::string_view text) {
    skipLeading(text, isNameSpace);
    while (!text.empty() && isNameSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string normalizeServerName(std::string_view text) {
    // Blanks and backslashes are stripped twice over so that " \\ srv" and "\\ \\srv" lose
    // both kinds of prefix as a user typing them would expect.
    skipLeading(text, isNameSpace);
    skipLeading(text, isBackslash);
    skipLeading(text, isNameSpace);
    skipLeading(text, isBackslash);
    while (!text.empty() && isNameSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty()) return std::string();
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') return std::string(text);
    return "\\\\" + std::string(text);
}
