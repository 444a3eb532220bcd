// The text of the Text page in the four forms a file is searched for, with the case variants of
// each character when the case does not matter.
#include "engine/ContainingText.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// One character of the text as typed: its bytes in the ANSI code page and its UTF-16 code
// units (two for a character outside the Basic Multilingual Plane).
struct Character {
    std::string bytes;
    std::wstring units;
};

bool isSurrogate(wchar_t u) {
    return u >= 0xD800 && u <= 0xDFFF;
}

// Splits the text into characters: each is the fewest bytes the code page converts on their own
// (one, or two for a lead byte of a double-byte code page, up to four in UTF-8). A byte that
// begins no character stands alone and becomes the code page's default character.
std::vector<Character> charactersOf(const std::string& text) {
    std::vector<Character> out;
    wchar_t units[8];
    for (size_t i = 0; i < text.size();) {
        int taken = 0, made = 0;
        for (int length = 1; length <= 4 && i + size_t(length) <= text.size() && !made; ++length) {
            made = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data() + i, length,
                                       units, 8);
            taken = length;
        }
        if (made <= 0) {
            taken = 1;
            made = MultiByteToWideChar(CP_ACP, 0, text.data() + i, 1, units, 8);
        }
        if (made <= 0) units[0] = L'?', made = 1;
        out.push_back({text.substr(i, size_t(taken)), std::wstring(units, size_t(made))});
        i += size_t(taken);
    }
    return out;
}

TextBytes bytesOf(const char* p, size_t n) {
    TextBytes b;
    b.length = uint8_t(n);
    std::copy(p, p + n, b.bytes);
    return b;
}

TextBytes utf8Of(uint32_t c) {
    TextBytes b;
    if (c < 0x80) {
        b.length = 1;
        b.bytes[0] = uint8_t(c);
    } else if (c < 0x800) {
        b.length = 2;
        b.bytes[0] = uint8_t(0xC0 | c >> 6);
        b.bytes[1] = uint8_t(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        b.length = 3;
        b.bytes[0] = uint8_t(0xE0 | c >> 12);
        b.bytes[1] = uint8_t(0x80 | (c >> 6 & 0x3F));
        b.bytes[2] = uint8_t(0x80 | (c & 0x3F));
    } else {
        b.length = 4;
        b.bytes[0] = uint8_t(0xF0 | c >> 18);
        b.bytes[1] = uint8_t(0x80 | (c >> 12 & 0x3F));
        b.bytes[2] = uint8_t(0x80 | (c >> 6 & 0x3F));
        b.bytes[3] = uint8_t(0x80 | (c & 0x3F));
    }
    return b;
}

TextBytes utf16Of(wchar_t u, bool bigEndian) {
    TextBytes b;
    b.length = 2;
    b.bytes[bigEndian ? 1 : 0] = uint8_t(u & 0xFF);
    b.bytes[bigEndian ? 0 : 1] = uint8_t(u >> 8);
    return b;
}

void addOnce(std::vector<TextBytes>& choices, const TextBytes& b) {
    if (std::find(choices.begin(), choices.end(), b) == choices.end()) choices.push_back(b);
}

// The code unit in the ANSI code page when it has an exact form there (no best-fit look-alike,
// no default character) of at most four bytes.
bool ansiOf(wchar_t u, TextBytes& out) {
    if (GetACP() == CP_UTF8) return false; // the UTF-8 form holds these already
    char buffer[8];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &u, 1, buffer, sizeof buffer,
                                      nullptr, &usedDefault);
    if (n <= 0 || n > 4 || usedDefault) return false;
    out = bytesOf(buffer, size_t(n));
    return true;
}

// For every code unit of the text, the code units that stand for it: itself with Match case,
// otherwise every unit whose upper case (CharUpperBuffW) is its upper case, itself first.
class CaseVariants {
public:
    CaseVariants(const std::vector<Character>& text, bool matchCase) {
        if (matchCase) return;
        upper_.resize(65536);
        for (size_t i = 0; i < upper_.size(); ++i)
            upper_[i] = wchar_t(i);
        CharUpperBuffW(upper_.data(), DWORD(upper_.size()));
        // One pass over all units collects the variants of every upper case the text needs.
        std::vector<int> group(65536, -1);
        for (const Character& c : text)
            for (wchar_t u : c.units) {
                int& g = group[size_t(upper_[size_t(u)])];
                if (g >= 0) continue;
                g = int(groups_.size());
                groups_.emplace_back();
            }
        for (size_t v = 0; v < upper_.size(); ++v)
            if (int g = group[size_t(upper_[v])]; g >= 0) groups_[size_t(g)].push_back(wchar_t(v));
        group_.swap(group);
    }

    std::vector<wchar_t> of(wchar_t u) const {
        std::vector<wchar_t> out{u};
        if (upper_.empty() || isSurrogate(u)) return out;
        for (wchar_t v : groups_[size_t(group_[size_t(upper_[size_t(u)])])])
            if (v != u && !isSurrogate(v)) out.push_back(v);
        return out;
    }

private:
    std::vector<wchar_t> upper_;
    std::vector<int> group_;
    std::vector<std::vector<wchar_t>> groups_;
};

} // namespace

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::shared_ptr<const TextMatcher> compileContainingText(const std::string& text, bool matchCase) {
    if (isBlankText(text)) return nullptr;
    const std::vector<Character> characters = charactersOf(text);
    const CaseVariants variants(characters, matchCase);

    TextForm ansi, utf8, utf16le, utf16be;
    utf16le.evenOffsetsOnly = utf16be.evenOffsetsOnly = true;
    for (const Character& c : characters) {
        const std::wstring& units = c.units;
        const bool pair = units.size() == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF &&
                          units[1] >= 0xDC00 && units[1] <= 0xDFFF;
        // ANSI: the bytes as typed, then the variants the code page can write.
        std::vector<TextBytes> inAnsi{bytesOf(c.bytes.data(), std::min<size_t>(c.bytes.size(), 4))};
        if (units.size() == 1)
            for (wchar_t v : variants.of(units[0]))
                if (TextBytes b; ansiOf(v, b)) addOnce(inAnsi, b);
        ansi.positions.push_back(std::move(inAnsi));

        if (pair) {
            const uint32_t code = 0x10000 + ((uint32_t(units[0]) - 0xD800) << 10) +
                                  (uint32_t(units[1]) - 0xDC00);
            utf8.positions.push_back({utf8Of(code)});
        }
        for (wchar_t u : units) {
            const std::vector<wchar_t> choices = variants.of(u);
            std::vector<TextBytes> le, be, in8;
            for (wchar_t v : choices) {
                addOnce(le, utf16Of(v, false));
                addOnce(be, utf16Of(v, true));
                addOnce(in8, utf8Of(uint32_t(v)));
            }
            utf16le.positions.push_back(std::move(le));
            utf16be.positions.push_back(std::move(be));
            if (!pair) utf8.positions.push_back(std::move(in8));
        }
    }
    return std::make_shared<const TextMatcher>(
        std::vector<TextForm>{std::move(ansi), std::move(utf8), std::move(utf16le),
                              std::move(utf16be)});
}
