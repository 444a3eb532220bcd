// Compiling and matching NamePattern, and the ANSI lower-case conversion.
#include "toolkit/NamePattern.h"

#include <windows.h>

#include "toolkit/AnsiChars.h"

NamePattern NamePattern::compile(std::string_view text) {
    NamePattern p;
    std::string s(text);
    if (s == "*.*") s = "*";
    if (s == "*.") {
        p.kind_ = PatternKind::NoExtension;
        return p;
    }
    s = lowerAnsi(s);

    bool sawStar = false;
    size_t star;
    while ((star = ansi::findChar(s, '*')) != std::string::npos) {
        sawStar = true;
        p.pieces_.append(s.substr(0, star));
        s.erase(0, star + 1);
    }
    if (!sawStar) {
        p.literal_ = s;
        p.kind_ = PatternKind::Exact;
        return p;
    }
    if (!s.empty()) {
        p.trailingStar_ = 0;
        p.pieces_.append(s);
    } else {
        p.trailingStar_ = 1;
    }
    if (p.pieces_.count() > 0 && p.pieces_[0].empty()) {
        p.leadingStar_ = 1;
        p.pieces_.removeAt(0);
    } else {
        p.leadingStar_ = 0;
    }
    if (p.pieces_.count() == 1 && p.leadingStar_ && p.trailingStar_) {
        p.literal_ = p.pieces_[0];
        p.kind_ = PatternKind::Contains;
    } else {
        p.kind_ = PatternKind::Pieces;
    }
    return p;
}

bool NamePattern::matches(std::string_view c) const {
    switch (kind_) {
    case PatternKind::Exact: return c == literal_;
    case PatternKind::Contains: return ansi::findText(c, literal_) != std::string_view::npos;
    case PatternKind::NoExtension: return c.find('.') == std::string_view::npos;
    case PatternKind::Pieces: break;
    }
    std::string_view rest = c;
    for (int32_t i = 0; i < pieces_.count(); ++i) {
        const std::string& piece = pieces_[i];
        // Only where a character starts: "*t*" must not take the trail byte of a double-byte
        // character for a 't'.
        size_t at = ansi::findText(rest, piece);
        if (at == std::string_view::npos) return false;
        if (i == 0 && !leadingStar_ && at != 0) return false;
        rest.remove_prefix(at + piece.size());
    }
    return trailingStar_ || rest.empty();
}

std::string lowerAnsi(std::string_view text) {
    std::string out(text);
    if (!out.empty()) CharLowerBuffA(out.data(), DWORD(out.size()));
    return out;
}
