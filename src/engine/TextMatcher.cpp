// The multi-form text scan: the skip table, the comparison of the forms at a candidate start,
// and the carrying of a block's end into the next.
#include "engine/TextMatcher.h"

#include <algorithm>
#include <cstring>

namespace {

// The window never exceeds 64 bytes: longer windows move little further on ordinary files, and
// the offsets a block can take within a window fit in one 64-bit mask.
constexpr size_t kMostWindow = 64;

size_t shortestOf(const std::vector<TextBytes>& choices) {
    size_t n = SIZE_MAX;
    for (const TextBytes& b : choices)
        n = std::min<size_t>(n, b.length);
    return n;
}

size_t longestOf(const std::vector<TextBytes>& choices) {
    size_t n = 0;
    for (const TextBytes& b : choices)
        n = std::max<size_t>(n, b.length);
    return n;
}

bool usable(const TextForm& form) {
    if (form.positions.empty()) return false;
    for (const auto& choices : form.positions) {
        if (choices.empty()) return false;
        for (const TextBytes& b : choices)
            if (b.length == 0 || b.length > sizeof b.bytes) return false;
    }
    return true;
}

} // namespace

TextMatcher::TextMatcher(std::vector<TextForm> forms) {
    for (TextForm& form : forms)
        if (usable(form) && std::find(forms_.begin(), forms_.end(), form) == forms_.end())
            forms_.push_back(std::move(form));
    if (forms_.empty()) return;
    size_t shortest = SIZE_MAX;
    for (const TextForm& form : forms_) {
        size_t low = 0, high = 0;
        for (const auto& choices : form.positions) {
            low += shortestOf(choices);
            high += longestOf(choices);
        }
        shortest = std::min(shortest, low);
        longest_ = std::max(longest_, high);
    }
    window_ = std::min(shortest, kMostWindow);
    buildSkipTable();
}

void TextMatcher::buildSkipTable() {
    if (window_ == 1) {
        firstBytes_.assign(256, 0);
        for (const TextForm& form : forms_)
            for (const TextBytes& b : form.positions.front())
                firstBytes_[b.bytes[0]] = 1;
        return;
    }
    // A block that lies at offset k (0 to window - 2) of some match lets the window move only
    // window - 2 - k; every other block lets it move window - 1.
    const size_t lastOffset = window_ - 2;
    skip_.reset(new uint8_t[65536]);
    std::memset(skip_.get(), int(window_ - 1), 65536);
    auto note = [&](uint8_t low, uint8_t high, size_t k) {
        if (k > lastOffset) return;
        uint8_t& s = skip_[size_t(low) | size_t(high) << 8];
        s = std::min<uint8_t>(s, uint8_t(lastOffset - k));
    };
    for (const TextForm& form : forms_) {
        // The offsets (within the window) at which each position's bytes can begin, as a mask:
        // sequences of different lengths make a position's offset depend on the choices before.
        uint64_t starts = 1;
        for (size_t i = 0; i < form.positions.size() && starts; ++i) {
            const auto& choices = form.positions[i];
            const auto* next = i + 1 < form.positions.size() ? &form.positions[i + 1] : nullptr;
            uint64_t nextStarts = 0;
            for (size_t o = 0; o <= lastOffset; ++o) {
                if (!(starts >> o & 1)) continue;
                for (const TextBytes& b : choices) {
                    for (size_t t = 0; t + 1 < b.length; ++t)
                        note(b.bytes[t], b.bytes[t + 1], o + t);
                    const size_t end = o + b.length; // where the next position begins
                    if (next)
                        for (const TextBytes& n : *next)
                            note(b.bytes[b.length - 1], n.bytes[0], end - 1);
                    if (end <= lastOffset) nextStarts |= uint64_t(1) << end;
                }
            }
            starts = nextStarts;
        }
    }
}

bool TextMatcher::matchesAt(const uint8_t* data, size_t size, size_t start,
                            uint64_t offset) const {
    for (const TextForm& form : forms_) {
        if (form.evenOffsetsOnly && ((offset + start) & 1)) continue;
        size_t p = start;
        bool all = true;
        for (const auto& choices : form.positions) {
            bool one = false;
            for (const TextBytes& b : choices) {
                if (b.length <= size - p && std::memcmp(data + p, b.bytes, b.length) == 0) {
                    p += b.length;
                    one = true;
                    break;
                }
            }
            if (!one) {
                all = false;
                break;
            }
        }
        if (all) return true;
    }
    return false;
}

bool TextMatcher::scan(const uint8_t* data, size_t size, uint64_t offset, bool last,
                       size_t& resume) const {
    resume = size;
    if (forms_.empty()) return false;
    // Starts below decided are decided in this call: every match from them lies in data, or
    // the file ends with data.
    const size_t need = last ? window_ : longest_;
    const size_t decided = size >= need ? size - need + 1 : 0;
    size_t start = 0;
    if (window_ == 1) {
        const uint8_t* first = firstBytes_.data();
        for (; start < decided; ++start)
            if (first[data[start]] && matchesAt(data, size, start, offset)) return true;
    } else {
        const uint8_t* skip = skip_.get();
        const size_t reach = window_ - 1;
        // The window ends at data[end]; it covers the start end - reach.
        size_t end = reach;
        const size_t endLimit = decided + reach;
        while (end < endLimit) {
            const unsigned step = skip[size_t(data[end - 1]) | size_t(data[end]) << 8];
            if (step) {
                end += step;
                continue;
            }
            if (matchesAt(data, size, end - reach, offset)) return true;
            ++end;
        }
        start = end - reach;
    }
    resume = std::min(start, size);
    return false;
}

TextScanner::TextScanner(const TextMatcher& matcher, size_t blockBytes)
    : matcher_(matcher), blockBytes_(blockBytes), buffer_(blockBytes + matcher.longestMatch()) {}

void TextScanner::startFile() {
    carried_ = 0;
    offset_ = 0;
}

bool TextScanner::takeBlock(size_t n) {
    const size_t size = carried_ + std::min(n, blockBytes_);
    size_t resume = 0;
    if (matcher_.scan(buffer_.data(), size, offset_, false, resume)) return true;
    // What is left over is shorter than the longest match: the next block goes after it.
    std::memmove(buffer_.data(), buffer_.data() + resume, size - resume);
    carried_ = size - resume;
    offset_ += resume;
    return false;
}

bool TextScanner::finishFile() {
    size_t resume = 0;
    const bool found = matcher_.scan(buffer_.data(), carried_, offset_, true, resume);
    carried_ = 0;
    return found;
}
