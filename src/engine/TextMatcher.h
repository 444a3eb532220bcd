// TextMatcher: finds a text in a file's bytes in several encodings at once, block by block, and
// TextScanner, which carries the end of one block over to the next so that a match across a
// block boundary is found. Platform-neutral: what the encodings are is decided by the caller
// (ContainingText.h), here a text is only sequences of byte alternatives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One way to write one character (or one UTF-16 code unit) of the text: one to four bytes.
struct TextBytes {
    uint8_t length = 0;
    uint8_t bytes[4] = {};

    friend bool operator==(const TextBytes&, const TextBytes&) = default;
};

// The text in one encoding: for each of its characters the byte sequences that stand for it
// (the character itself with Match case, all its case variants without). The sequences of one
// position must be prefix-free (none begins another), as every character encoding's are: the
// first one that matches is taken and no other is tried.
struct TextForm {
    std::vector<std::vector<TextBytes>> positions;
    bool evenOffsetsOnly = false; // UTF-16: a match starts at an even offset of the file

    friend bool operator==(const TextForm&, const TextForm&) = default;
};

// Immutable once made, so the threads of a search share one. A match of any form anywhere in
// the bytes counts.
//
// The scan is a Horspool skip over two-byte blocks shared by every form (Wu and Manber's
// multi-pattern variant): a window as long as the shortest match slides along the bytes, and
// the block at its end says how far the window may move without passing over the start of any
// possible match; only where a block can end a match's first window-length bytes are the forms
// compared. On ordinary files the window moves by most of its length at each step, so the scan
// costs a small part of what reading the bytes costs.
class TextMatcher {
public:
    // Forms without positions are dropped, and so are forms equal to an earlier one. Every
    // position needs at least one sequence of one to four bytes.
    explicit TextMatcher(std::vector<TextForm> forms);

    // True when no form is left: nothing can match.
    bool empty() const { return forms_.empty(); }
    // The most bytes one match can take.
    size_t longestMatch() const { return longest_; }
    const std::vector<TextForm>& forms() const { return forms_; }

    // Looks for a match that starts in data[0, size), the first byte lying at offset of the
    // file. With last, the bytes end the file and every start is decided. Otherwise only the
    // starts whose longest match lies wholly in data are: the others are left to the next call,
    // which must begin with data[resume, size) (then the file's next bytes). True on a match.
    bool scan(const uint8_t* data, size_t size, uint64_t offset, bool last, size_t& resume) const;

private:
    // True when some form matches at data[start] (the file offset of data[0] given).
    bool matchesAt(const uint8_t* data, size_t size, size_t start, uint64_t offset) const;
    void buildSkipTable();

    std::vector<TextForm> forms_;
    size_t longest_ = 0;
    // The window: the fewest bytes of any match, at most kMostWindow.
    size_t window_ = 0;
    // For a window of one byte: the bytes that can begin a match.
    std::vector<uint8_t> firstBytes_;
    // For longer windows: how far the window may move for each block (low byte first) at its end.
    std::unique_ptr<uint8_t[]> skip_;
};

// Scans one file after another in blocks. Not shared between threads: each reading thread has
// its own, which holds the block buffer (blockBytes plus the longest match).
class TextScanner {
public:
    TextScanner(const TextMatcher& matcher, size_t blockBytes);

    // Forgets what the last file left over.
    void startFile();
    // Where the next block of the file is to be read, with room for blockBytes().
    uint8_t* blockSpace() { return buffer_.data() + carried_; }
    size_t blockBytes() const { return blockBytes_; }
    // Scans the block of n bytes just read into blockSpace(); true on a match.
    bool takeBlock(size_t n);
    // At the end of the file: decides the bytes left over; true on a match.
    bool finishFile();

private:
    const TextMatcher& matcher_;
    size_t blockBytes_;
    std::vector<uint8_t> buffer_;
    size_t carried_ = 0;
    uint64_t offset_ = 0; // file offset of buffer_[0]
};
