// Stepping through text in the program's ANSI code page one character at a time. In the
// double-byte code pages (932 Japanese, 936 and 950 Chinese, 949 Korean) a character may take
// two bytes, and its second byte may be 0x5C, the byte of '\', or an ASCII letter: a check that
// scans a name byte by byte takes half of "ソ" or "表" for a separator. Every check that looks for
// a separator, a wildcard or a letter in a name or path goes through here.
//
// Trail bytes are 0x40 or above, so a lead byte followed by anything lower ('/', ':', '*', '?',
// '.', '<', '>', '"', a blank, NUL) is not a pair: those bytes always stand for themselves, and
// a lead byte as the text's last byte counts as one character.
//
// Platform-neutral: the program's table is filled once from the platform (IsDBCSLeadByteEx for
// the program's code page); readers built natively for fuzzing choose a code page with
// useCodePage and get the table built in here.
#pragma once

#include <cstddef>
#include <string_view>

namespace ansi {

// Which bytes start a two-byte character in one code page.
class LeadBytes {
public:
    bool isLead(unsigned char byte) const { return lead_[byte]; }
    void setLead(unsigned char byte, bool lead) { lead_[byte] = lead; }
    bool any() const;

    // The ranges the double-byte code pages define (932: 81-9F and E0-FC; 936, 949, 950:
    // 81-FE); no lead bytes for any other code page.
    static LeadBytes builtInFor(unsigned codePage);

private:
    bool lead_[256] = {};
};

// The program's table, filled at first use for the program's code page.
const LeadBytes& programLeadBytes();
// Refills the program's table for codePage (from the platform where it knows the code page,
// else built in). For natively built tools and tests; not while other threads read names.
void useCodePage(unsigned codePage);

// Bytes of the character that starts at text[at] (at < text.size()): 2 for a lead byte
// followed by a trail byte, else 1.
size_t charLength(std::string_view text, size_t at);
// True when a character starts at text[at] (at == text.size() counts: the end is a boundary).
bool isCharBoundary(std::string_view text, size_t at);
// Where the last character of text starts (npos for empty text).
size_t lastCharStart(std::string_view text);

// The first character at or after from (a character boundary) that is c, or any character of
// set; npos when there is none. c and the characters of set are single-byte characters.
size_t findChar(std::string_view text, char c, size_t from = 0);
size_t findCharOf(std::string_view text, std::string_view set, size_t from = 0);
// The last such character, or npos.
size_t findLastChar(std::string_view text, char c);
size_t findLastCharOf(std::string_view text, std::string_view set);
// True when text's last character is c.
bool endsWithChar(std::string_view text, char c);
// The first occurrence of needle in text at or after from that starts on a character boundary,
// or npos. (An occurrence that starts on a boundary also ends on one when needle is whole
// characters.)
size_t findText(std::string_view text, std::string_view needle, size_t from = 0);

// What the platform side provides (toolkit/AnsiText.cpp; natively built tools define their
// own): the program's code page, and its lead bytes from the platform's tables (false when the
// platform has none, and the built-in ranges are used).
unsigned platformCodePage();
bool platformLeadBytes(unsigned codePage, LeadBytes& table);

} // namespace ansi
