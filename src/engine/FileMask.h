// FileMask: a name mask applied to the entries of one folder listing as the platform's file
// system applies it to a listing opened with that mask, so that a folder is listed once
// whatever the masks. MaskName: an entry's name as the masks compare it.
#pragma once

#include <string>
#include <string_view>

// The code page of masks and names: 0 is the system ANSI code page (CP_ACP), the one the
// program's texts and the ANSI listing calls use. Tests pass others.
inline constexpr unsigned kAnsiCodePage = 0;

// The characters of one name, upper-cased, made when a mask first asks for them: a listing with
// the mask "*" converts nothing, and a short name is converted only when the long name failed.
class MaskName {
public:
    // name must stay valid and unchanged while this object is used; it holds at most 259 bytes
    // (the listing's long name) and is cut there otherwise.
    explicit MaskName(const char* name, unsigned codePage = kAnsiCodePage)
        : bytes_(name), codePage_(codePage) {}
    MaskName(const MaskName&) = delete;
    MaskName& operator=(const MaskName&) = delete;

    bool empty() const { return bytes_ == nullptr || bytes_[0] == '\0'; }
    unsigned codePage() const { return codePage_; }
    std::wstring_view characters();

private:
    static constexpr int kMaxCharacters = 260;
    const char* bytes_;
    unsigned codePage_;
    int length_ = -1; // not converted yet
    wchar_t characters_[kMaxCharacters];
};

// A mask as typed by the user, translated once (per search) the way the platform translates a
// mask before its file system sees it, then matched against names with the file system's rules:
// '*' any run of characters; '?' one character, or nothing at a '.' or at the end of the name
// (so "a?" finds "a"); "*." names without a dot; "x.*" also "x"; "*.txt" also "a.txt.txt".
// Case is ignored, characters are compared, not bytes: "?.txt" finds a name whose first
// character takes two bytes.
class FileMask {
public:
    // A mask that matches nothing.
    FileMask() = default;

    // Trailing dots and blanks are dropped (a mask that was nothing else matches nothing); a mask
    // holding '\', '/' or ':' is a path, not a name pattern, and matches nothing.
    static FileMask compile(std::string_view typed, unsigned codePage = kAnsiCodePage);

    // The long name first; when it fails and the entry has a short name, the short name. "." and
    // ".." are the caller's business (the listing's own entries, never a hit).
    bool matches(MaskName& longName, MaskName& shortName) const;
    // The same on plain texts (shortName may be empty or null).
    bool matches(const char* longName, const char* shortName = nullptr) const;

    // True for "*", "*.*" and the like: every name matches, nothing needs converting.
    bool matchesEverything() const { return kind_ == Kind::Everything; }

private:
    enum class Kind { Nothing, Everything, Exact, Suffix, Expression };
    bool matchesName(MaskName& name) const;

    Kind kind_ = Kind::Nothing;
    unsigned codePage_ = kAnsiCodePage;
    std::wstring expression_; // translated and upper-cased (Suffix: what follows the star)
};

// The platform's translation of a typed mask: trailing dots and blanks are dropped (nothing is
// left of a mask made of them only); "*.*" becomes "*"; '?' becomes '>' (one character, or none
// at a dot or at the end); a '.' before '?' or '*' becomes '"' (a dot, or none at the end); a '*'
// before a '.' becomes '<' (any run that leaves the name's last dot); the final '*' of a mask
// that ended in '.' becomes '<'. So "*." gives "<" and "a*.*" gives "a<\"*". Platform-neutral.
std::wstring translateMask(std::wstring_view typed);

// Whether name is in the translated, upper-cased expression (name upper-cased too): the file
// system's matching of '*', '<', '>', '"' and plain characters. An empty name or expression
// matches nothing. Platform-neutral.
bool isNameInExpression(std::wstring_view expression, std::wstring_view name);
