// NamePattern: the program's case-insensitive wildcard matcher ('*' only), used by the refine
// search, the domain, server and folder lists and find-in-result; and lowerAnsi, the lower-case
// conversion that candidates go through before they are matched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/GrowableArray.h"

enum class PatternKind : int32_t {
    Exact = 0,       // the whole pattern, no star
    Contains = 1,    // "*text*": one piece between two stars
    Pieces = 2,      // pieces found in order, each at its first occurrence
    NoExtension = 3, // "*.": names without a dot
};

// A compiled pattern; a value (copies copy the piece list). Only '*' is a wildcard, standing
// for any run of characters including the empty one; '?' and all else stand for themselves.
// Pieces match only at character boundaries of the program's code page.
class NamePattern {
public:
    // No pieces, an empty literal, kind Exact (matches only the empty name).
    NamePattern() = default;

    // "*.*" means "*"; "*." means names without a dot. The text is lower-cased with lowerAnsi.
    static NamePattern compile(std::string_view text);

    // candidate must already be lower-cased with lowerAnsi. Every piece is taken at its first
    // occurrence and never retried further on: "*.txt" does not match "a.txt.txt".
    bool matches(std::string_view lowerCandidate) const;

    PatternKind kind() const { return kind_; }
    const std::string& literal() const { return literal_; }
    const GrowableArray<std::string>& pieces() const { return pieces_; }
    bool leadingStar() const { return leadingStar_ != 0; }
    bool trailingStar() const { return trailingStar_ != 0; }

private:
    GrowableArray<std::string> pieces_{7};
    std::string literal_;
    int32_t leadingStar_ = 0;
    int32_t trailingStar_ = 0;
    PatternKind kind_ = PatternKind::Exact;
};

// The lower-case form of an ANSI text in the system code page, multibyte characters included
// (the platform's conversion, so that trail bytes of double-byte characters are left alone).
std::string lowerAnsi(std::string_view text);
