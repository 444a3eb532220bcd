// Translating masks and matching names as the platform's file system does for a listing.
#include "engine/FileMask.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// The mask characters that stand for something other than themselves after translation.
constexpr wchar_t kStar = L'*';
constexpr wchar_t kDosStar = L'<';
constexpr wchar_t kDosQuestion = L'>';
constexpr wchar_t kDosDot = L'"';

bool isWildcard(wchar_t c) {
    return c == kStar || c == kDosStar || c == kDosQuestion || c == kDosDot;
}

// Converts bytes of the code page into out (upper-cased); returns the number of characters.
int upperCharacters(const char* bytes, int length, unsigned codePage, wchar_t* out, int room) {
    if (length <= 0) return 0;
    int n = MultiByteToWideChar(codePage, 0, bytes, length, out, room);
    if (n > 0) CharUpperBuffW(out, DWORD(n));
    return n;
}

std::wstring upperCharacters(std::string_view text, unsigned codePage) {
    std::wstring out;
    if (text.empty()) return out;
    const int room = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    if (room <= 0) return out;
    out.resize(size_t(room));
    out.resize(size_t(upperCharacters(text.data(), int(text.size()), codePage, out.data(), room)));
    return out;
}

} // namespace

std::wstring_view MaskName::characters() {
    if (length_ < 0) {
        int bytes = 0;
        if (bytes_)
            while (bytes < kMaxCharacters - 1 && bytes_[bytes] != '\0')
                ++bytes;
        length_ = upperCharacters(bytes_, bytes, codePage_, characters_, kMaxCharacters);
    }
    return {characters_, size_t(length_)};
}

FileMask FileMask::compile(std::string_view typed, unsigned codePage) {
    FileMask mask;
    mask.codePage_ = codePage;
    // Characters, not bytes: in a double-byte code page the second byte of a character may be
    // the byte of '\' and the mask is still a plain name.
    std::wstring characters = upperCharacters(typed, codePage);
    // A path: the listing would reach another folder ("..\*"), and no name holds these.
    if (characters.find_first_of(L"\\/:") != std::wstring::npos) return mask;
    // Dots and blanks only ("." or ".."): the platform would list the folder itself or its
    // parent, never an entry of this folder.
    mask.expression_ = translateMask(characters);
    if (mask.expression_.empty()) return mask;
    const std::wstring& e = mask.expression_;
    const std::wstring_view rest = std::wstring_view(e).substr(1);
    const bool plainRest = std::none_of(rest.begin(), rest.end(), isWildcard);
    if (e == L"*") {
        mask.kind_ = Kind::Everything;
    } else if (plainRest && !isWildcard(e[0])) {
        mask.kind_ = Kind::Exact;
    } else if (plainRest && (e[0] == kStar || (e[0] == kDosStar && rest.find(L'.') != rest.npos))) {
        // "*.txt" and its like: the name ends in the rest. (A '<' may not take the name's last
        // dot; with a dot in the rest, the last dot is always the rest's.)
        mask.kind_ = Kind::Suffix;
        mask.expression_.erase(0, 1);
    } else {
        mask.kind_ = Kind::Expression;
    }
    return mask;
}

bool FileMask::matchesName(MaskName& name) const {
    if (name.empty()) return false;
    switch (kind_) {
    case Kind::Nothing: return false;
    case Kind::Everything: return true;
    case Kind::Exact: return name.characters() == expression_;
    case Kind::Suffix: return name.characters().ends_with(expression_);
    case Kind::Expression: return isNameInExpression(expression_, name.characters());
    }
    return false;
}

bool FileMask::matches(MaskName& longName, MaskName& shortName) const {
    return matchesName(longName) || (kind_ != Kind::Everything && matchesName(shortName));
}

bool FileMask::matches(const char* longName, const char* shortName) const {
    MaskName longText(longName, codePage_), shortText(shortName, codePage_);
    return matches(longText, shortText);
}

std::wstring translateMask(std::wstring_view typed) {
    const bool endsInDot = !typed.empty() && typed.back() == L'.';
    while (!typed.empty() && (typed.back() == L'.' || typed.back() == L' '))
        typed.remove_suffix(1);
    if (typed == L"*.*") return L"*";
    std::wstring out(typed);
    for (size_t i = 0; i < out.size(); ++i) {
        if (i > 0 && out[i] == L'.' && out[i - 1] == kStar) out[i - 1] = kDosStar;
        if (out[i] == L'?' || out[i] == kStar) {
            if (out[i] == L'?') out[i] = kDosQuestion;
            if (i > 0 && out[i - 1] == L'.') out[i - 1] = kDosDot;
        }
    }
    if (endsInDot && !out.empty() && out.back() == kStar) out.back() = kDosStar;
    return out;
}

bool isNameInExpression(std::wstring_view expression, std::wstring_view name) {
    if (expression.empty() || name.empty()) return false;
    // The expression positions that the name read so far can have reached, one flag each; the
    // last position (past the expression) means the whole expression is used up. Every step
    // that consumes no character goes forward, so one pass in order completes a set.
    const size_t m = expression.size();
    constexpr size_t kOnStack = 264;
    unsigned char onStack[2 * kOnStack];
    std::vector<unsigned char> onHeap;
    unsigned char* reached = onStack;
    if (m + 1 > kOnStack) {
        onHeap.resize(2 * (m + 1));
        reached = onHeap.data();
    }
    unsigned char* next = reached + (m + 1);
    std::fill(reached, reached + m + 1, 0);
    reached[0] = 1;
    const size_t lastDot = name.rfind(L'.');

    for (size_t at = 0;; ++at) {
        const bool atEnd = at == name.size();
        const wchar_t c = atEnd ? L'\0' : name[at];
        // Steps that consume nothing: '*' and '<' may stand for no character; '>' stands for
        // none at a dot or at the end; '"' for none at the end.
        for (size_t i = 0; i < m; ++i) {
            if (!reached[i]) continue;
            const wchar_t e = expression[i];
            if (e == kStar || e == kDosStar || (e == kDosQuestion && (atEnd || c == L'.')) ||
                (e == kDosDot && atEnd))
                reached[i + 1] = 1;
        }
        if (atEnd) return reached[m];

        // Steps that consume the character c.
        bool any = false;
        std::fill(next, next + m + 1, 0);
        for (size_t i = 0; i < m; ++i) {
            if (!reached[i]) continue;
            const wchar_t e = expression[i];
            // '*' takes any character and stays; '<' any but the name's last dot.
            if (e == kStar || (e == kDosStar && at != lastDot)) {
                next[i] = 1;
                any = true;
            } else if ((e == kDosQuestion && c != L'.') || (e == kDosDot && c == L'.') ||
                       (!isWildcard(e) && e == c)) {
                next[i + 1] = 1;
                any = true;
            }
        }
        if (!any) return false;
        std::swap(reached, next);
    }
}
