// The lead-byte table of the program's code page and the character-stepping searches over it.
#include "toolkit/AnsiChars.h"

#include <cstdint>

namespace ansi {

namespace {

constexpr unsigned char kLowestTrailByte = 0x40;

LeadBytes tableFor(unsigned codePage) {
    LeadBytes table;
    if (!platformLeadBytes(codePage, table)) table = LeadBytes::builtInFor(codePage);
    return table;
}

LeadBytes& programTable() {
    static LeadBytes table = tableFor(platformCodePage());
    return table;
}

bool isLeadAt(std::string_view text, size_t at) {
    return programLeadBytes().isLead(static_cast<unsigned char>(text[at]));
}

} // namespace

bool LeadBytes::any() const {
    for (bool lead : lead_)
        if (lead) return true;
    return false;
}

LeadBytes LeadBytes::builtInFor(unsigned codePage) {
    LeadBytes table;
    auto range = [&table](unsigned first, unsigned last) {
        for (unsigned b = first; b <= last; ++b)
            table.setLead(static_cast<unsigned char>(b), true);
    };
    switch (codePage) {
    case 932: range(0x81, 0x9F); range(0xE0, 0xFC); break;
    case 936:
    case 949:
    case 950: range(0x81, 0xFE); break;
    default: break;
    }
    return table;
}

const LeadBytes& programLeadBytes() { return programTable(); }

void useCodePage(unsigned codePage) { programTable() = tableFor(codePage); }

size_t charLength(std::string_view text, size_t at) {
    if (at + 1 < text.size() && isLeadAt(text, at) &&
        static_cast<unsigned char>(text[at + 1]) >= kLowestTrailByte)
        return 2;
    return 1;
}

bool isCharBoundary(std::string_view text, size_t at) {
    size_t i = 0;
    while (i < at && i < text.size())
        i += charLength(text, i);
    return i == at;
}

size_t lastCharStart(std::string_view text) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += charLength(text, i))
        last = i;
    return last;
}

size_t findCharOf(std::string_view text, std::string_view set, size_t from) {
    // Every name of a search passes through here: one table test per byte, no call.
    uint64_t wanted[4] = {};
    for (char c : set)
        wanted[static_cast<unsigned char>(c) >> 6] |= uint64_t(1) << (static_cast<unsigned char>(c) & 63);
    const LeadBytes& lead = programLeadBytes();
    const size_t n = text.size();
    for (size_t i = from; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if ((wanted[b >> 6] >> (b & 63)) & 1) return i;
        if (lead.isLead(b) && i + 1 < n && static_cast<unsigned char>(text[i + 1]) >= kLowestTrailByte)
            ++i; // the trail byte is part of this character
    }
    return std::string_view::npos;
}

size_t findChar(std::string_view text, char c, size_t from) {
    return findCharOf(text, std::string_view(&c, 1), from);
}

size_t findLastCharOf(std::string_view text, std::string_view set) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += charLength(text, i))
        if (set.find(text[i]) != std::string_view::npos) found = i;
    return found;
}

size_t findLastChar(std::string_view text, char c) {
    return findLastCharOf(text, std::string_view(&c, 1));
}

bool endsWithChar(std::string_view text, char c) {
    size_t last = lastCharStart(text);
    return last != std::string_view::npos && last + 1 == text.size() && text[last] == c;
}

size_t findText(std::string_view text, std::string_view needle, size_t from) {
    for (size_t i = from; i + needle.size() <= text.size(); i += charLength(text, i))
        if (text.compare(i, needle.size(), needle) == 0) return i;
    return std::string_view::npos;
}

} // namespace ansi
