// TextMatcher: finds a text in a file's bytes in several encodings at once, block by block, and
// TextScanner, which carries the end of one block over to the next so that a match across a
// block boundary is found. Platform-neutral: what the encodings are is decided by the caller
// (ContainingText.h); here a text is only sequences of byte alternatives.
#pragma once

#include <cstddef>
#include <cstdint>
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
// Each form is looked for through two or three of its bytes at fixed distances (its anchors),
// chosen among the rarest its characters have in ordinary files (a digit or a capital rather than
// a space, never the zero bytes of UTF-16): the bytes are swept for places where all anchors
// appear (a byte in either case of a letter counts), sixteen at a time with the processor's
// vector instructions where it has them, and the whole form is compared only there. Forms with
// the same anchors (UTF-16 in both byte orders; ANSI and UTF-8 for most texts) share one sweep.
// On ordinary files the sweeps cost a small part of what reading the bytes costs.
class TextMatcher {
public:
    // Forms without positions are dropped, and so are forms equal to an earlier one. Every
    // position needs at least one sequence of one to four bytes. vectorSweep false sweeps a byte
    // at a time (as on processors without the vector instructions), which finds the same.
    explicit TextMatcher(std::vector<TextForm> forms, bool vectorSweep = true);

    // The most bytes one match can take.
    size_t longestMatch() const { return longest_; }

    // Looks for a match that starts in data[0, size), the first byte lying at offset of the
    // file. With last, the bytes end the file and every start is decided. Otherwise only the
    // starts whose longest match lies wholly in data are: the others are left to the next call,
    // which must begin with data[resume, size) (then the file's next bytes). True on a match.
    bool scan(const uint8_t* data, size_t size, uint64_t offset, bool last, size_t& resume) const;

private:
    // The bytes one sweep looks for (one to three): the first anchor at one of a few offsets
    // from a match's start (several where characters before it have sequences of different
    // lengths), the others at fixed distances after it.
    static constexpr int kAnchors = 3;
    struct Sweep {
        int anchors = 0;
        size_t distance[kAnchors] = {}; // from the first anchor; the last is the farthest
        bool holds[kAnchors][256] = {}; // the values each anchor can take
        // Where vector is set, the values of anchor k are the bytes x with (x | bits) == value.
        uint8_t bits[kAnchors] = {}, value[kAnchors] = {};
        bool vector = false;
        struct Use {
            size_t form;
            std::vector<size_t> offsets; // of the first anchor from the start of a match
        };
        std::vector<Use> uses;
        size_t lowestOffset = SIZE_MAX, highestOffset = 0;
    };
    void addSweepFor(size_t form);
    // True when a form of sweep matches from a start below decided.
    bool sweepFinds(const Sweep& sweep, const uint8_t* data, size_t size, size_t decided,
                    uint64_t offset) const;
    // True when a form of sweep matches with its first anchor at data[q], starting before decided.
    bool confirms(const Sweep& sweep, const uint8_t* data, size_t size, size_t q, size_t decided,
                  uint64_t offset) const;
    bool formMatchesAt(const TextForm& form, const uint8_t* data, size_t size, size_t start,
                       uint64_t offset) const;

    std::vector<TextForm> forms_;
    std::vector<Sweep> sweeps_;
    size_t shortest_ = 0;
    size_t longest_ = 0;
    bool vectorSweep_ = false;
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
