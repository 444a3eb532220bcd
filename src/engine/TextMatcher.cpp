// The multi-form text scan: choosing each form's anchor bytes, sweeping for them (sixteen bytes
// at a time where the processor allows), comparing the forms where they appear, and carrying a
// block's end into the next.
#include "engine/TextMatcher.h"

#include <algorithm>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define CORVASK_VECTOR_SWEEP 1
#endif

namespace {

// Anchors are chosen among the first characters of a long text only, and only where a match's
// start lies at a few offsets before them.
constexpr size_t kAnchorPositions = 64;
constexpr size_t kAnchorReach = 32; // most characters from the first anchor to the last
constexpr size_t kMostOffsets = 8;
// What the sweep costs per anchor, and what comparing the forms at one place costs, in the
// sweep's operations on sixteen places. The comparison is weighed high: bytes of real text come
// together far more often than their frequencies alone say.
constexpr double kAnchorCost = 4;
constexpr double kConfirmCost = 100;

// How often a byte value turns up in ordinary files (prose, UTF-16 text, program and picture
// data), roughly: an anchor is best where its values are rarest.
double frequencyOf(uint8_t b) {
    static const char* const kLetters = "etaoinsrhldcumfpgwybvkxjqz";
    static const double kLetterShare[] = {70, 50, 45, 45, 42, 42, 38, 38, 28, 24, 24, 18, 16,
                                          15, 13, 12, 12, 11, 11, 9,  6,  4,  1.5, 1, 0.8, 0.6};
    if (b >= 'a' && b <= 'z') return kLetterShare[std::strchr(kLetters, b) - kLetters] / 1000;
    if (b >= 'A' && b <= 'Z')
        return (1.5 + kLetterShare[std::strchr(kLetters, b + 32) - kLetters] / 20) / 1000;
    if (b >= '0' && b <= '9') return b <= '2' ? 0.007 : 0.004;
    switch (b) {
    case 0x00: return 0.3; // every other byte of UTF-16 text, and much of program data
    case ' ': return 0.12;
    case '\r':
    case '\n': return 0.015;
    case '.': return 0.01;
    case ',':
    case 0xFF: return 0.008;
    case '\t': return 0.005;
    default: return 0.002;
    }
}

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

// One byte of a position's sequences that can serve as an anchor: the values it can take (as a
// table, and as the value that every one of them gives with bits set: one value, or two that
// differ in one bit, as a letter's two cases mostly do), how often they turn up, and where it
// lies in its run of positions whose bytes are at fixed distances (a sequence of varying length
// ends a run).
struct AnchorByte {
    size_t position = 0, index = 0;
    bool holds[256] = {};
    uint8_t bits = 0, value = 0;
    bool twoCases = true; // the values are exactly {x : (x | bits) == value}
    double frequency = 0;
    size_t run = 0, at = 0;
};

AnchorByte anchorAt(const std::vector<TextBytes>& choices, size_t position, size_t index) {
    AnchorByte a;
    a.position = position;
    a.index = index;
    std::vector<uint8_t> values;
    for (const TextBytes& b : choices)
        if (!a.holds[b.bytes[index]]) {
            a.holds[b.bytes[index]] = true;
            values.push_back(b.bytes[index]);
            a.frequency += frequencyOf(b.bytes[index]);
        }
    a.bits = values.size() == 2 ? uint8_t(values[0] ^ values[1]) : 0;
    a.value = uint8_t(values[0] | a.bits);
    a.twoCases = values.size() == 1 || (values.size() == 2 && (a.bits & (a.bits - 1)) == 0);
    return a;
}

} // namespace

TextMatcher::TextMatcher(std::vector<TextForm> forms, bool vectorSweep) {
#ifdef CORVASK_VECTOR_SWEEP
    vectorSweep_ = vectorSweep && __builtin_cpu_supports("sse2");
#else
    (void)vectorSweep;
#endif
    for (TextForm& form : forms)
        if (usable(form) && std::find(forms_.begin(), forms_.end(), form) == forms_.end())
            forms_.push_back(std::move(form));
    shortest_ = SIZE_MAX;
    for (size_t f = 0; f < forms_.size(); ++f) {
        size_t low = 0, high = 0;
        for (const auto& choices : forms_[f].positions) {
            low += shortestOf(choices);
            high += longestOf(choices);
        }
        shortest_ = std::min(shortest_, low);
        longest_ = std::max(longest_, high);
        addSweepFor(f);
    }
}

void TextMatcher::addSweepFor(size_t f) {
    const auto& positions = forms_[f].positions;
    // Where each of the first positions can begin: one offset, or several after sequences of
    // different lengths; a position with too many is no first anchor, nor any after it.
    std::vector<std::vector<size_t>> starts{{0}};
    for (size_t i = 0; i + 1 < std::min(positions.size(), kAnchorPositions); ++i) {
        std::vector<size_t> next;
        for (size_t at : starts[i])
            for (const TextBytes& b : positions[i])
                if (std::find(next.begin(), next.end(), at + b.length) == next.end())
                    next.push_back(at + b.length);
        if (next.size() > kMostOffsets) break;
        starts.push_back(std::move(next));
    }

    // Each position's best anchor: its rarest byte that the vector sweep can look for, else its
    // rarest (its first byte where the sequences' lengths differ).
    std::vector<AnchorByte> anchors;
    size_t run = 0, at = 0;
    for (size_t i = 0; i < positions.size() && i < kAnchorPositions + kAnchorReach; ++i) {
        const bool fixed = shortestOf(positions[i]) == longestOf(positions[i]);
        AnchorByte rarest;
        for (size_t t = 0; t < (fixed ? shortestOf(positions[i]) : 1); ++t) {
            AnchorByte a = anchorAt(positions[i], i, t);
            if (t == 0 || std::make_pair(!a.twoCases, a.frequency) <
                              std::make_pair(!rarest.twoCases, rarest.frequency))
                rarest = a;
        }
        rarest.run = run;
        rarest.at = at + rarest.index;
        anchors.push_back(rarest);
        if (fixed) {
            at += shortestOf(positions[i]);
        } else {
            ++run;
            at = 0;
        }
    }

    // The anchors (one to three, of one run and within reach) that cost least: each costs its
    // comparisons in the sweep, and the places where all of them appear cost a comparison of the
    // forms. Two at least where the form has two positions: one byte alone can fill a file
    // ("-----"). Where the vector sweep can take them, only anchors it can take are chosen.
    const bool anyVector = std::any_of(anchors.begin(), anchors.end(),
                                       [](const AnchorByte& a) { return a.twoCases; });
    const size_t wanted = std::min<size_t>(2, anchors.size());
    const AnchorByte* chosen[kAnchors] = {};
    size_t count = 0;
    double best = 0;
    auto consider = [&](std::initializer_list<const AnchorByte*> set) {
        double together = 1;
        for (const AnchorByte* a : set) {
            if (anyVector && !a->twoCases) return;
            together *= a->frequency;
        }
        const double cost = kAnchorCost * double(set.size()) + kConfirmCost * 16 * together;
        const bool enough = set.size() >= wanted, hadEnough = count >= wanted;
        if (count == 0 || (enough && !hadEnough) || (enough == hadEnough && cost < best)) {
            best = cost;
            count = 0;
            for (const AnchorByte* a : set)
                chosen[count++] = a;
        }
    };
    for (size_t x = 0; x < anchors.size() && anchors[x].position < starts.size(); ++x) {
        const AnchorByte& a = anchors[x];
        consider({&a});
        for (size_t y = x + 1; y < anchors.size(); ++y) {
            const AnchorByte& b = anchors[y];
            if (b.run != a.run || b.position > a.position + kAnchorReach) break;
            consider({&a, &b});
            for (size_t z = y + 1; z < anchors.size(); ++z) {
                const AnchorByte& c = anchors[z];
                if (c.run != a.run || c.position > a.position + kAnchorReach) break;
                consider({&a, &b, &c});
            }
        }
    }
    if (count == 0) chosen[count++] = &anchors[0]; // anchors the vector sweep cannot take

    Sweep sweep;
    sweep.anchors = int(count);
    sweep.vector = true;
    for (size_t k = 0; k < count; ++k) {
        sweep.distance[k] = chosen[k]->at - chosen[0]->at;
        std::copy(chosen[k]->holds, chosen[k]->holds + 256, sweep.holds[k]);
        sweep.bits[k] = chosen[k]->bits;
        sweep.value[k] = chosen[k]->value;
        sweep.vector = sweep.vector && chosen[k]->twoCases;
    }
    Sweep::Use use{f, {}};
    for (size_t start : starts[chosen[0]->position])
        use.offsets.push_back(start + chosen[0]->index);
    auto sameAnchors = [&](const Sweep& other) {
        if (other.anchors != sweep.anchors) return false;
        for (size_t k = 0; k < count; ++k)
            if (other.distance[k] != sweep.distance[k] ||
                !std::equal(other.holds[k], other.holds[k] + 256, sweep.holds[k]))
                return false;
        return true;
    };
    auto found = std::find_if(sweeps_.begin(), sweeps_.end(), sameAnchors);
    if (found == sweeps_.end()) {
        sweeps_.push_back(sweep);
        found = sweeps_.end() - 1;
    }
    for (size_t o : use.offsets) {
        found->lowestOffset = std::min(found->lowestOffset, o);
        found->highestOffset = std::max(found->highestOffset, o);
    }
    found->uses.push_back(std::move(use));
}

namespace {

#ifdef CORVASK_VECTOR_SWEEP
// The places among the sixteen at p where every anchor holds one of its values, as bits.
template <int Anchors>
__attribute__((target("sse2"))) inline unsigned placesHolding(const __m128i* bits,
                                                              const __m128i* values,
                                                              const size_t* distance,
                                                              const uint8_t* p) {
    __m128i all = _mm_set1_epi8(-1);
    for (int k = 0; k < Anchors; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + distance[k]));
        all = _mm_and_si128(all, _mm_cmpeq_epi8(_mm_or_si128(x, bits[k]), values[k]));
    }
    return unsigned(_mm_movemask_epi8(all));
}

// Thirty-two places at a time, the forms compared wherever every anchor holds. Returns the place
// where fewer than thirty-two are left, or end once confirm found a match (found is then set).
template <int Anchors, typename Confirm>
__attribute__((target("sse2"))) size_t sweepVectors(const uint8_t* anchorBits,
                                                    const uint8_t* anchorValues,
                                                    const size_t* distance, const uint8_t* data,
                                                    size_t q, size_t end, const Confirm& confirm,
                                                    bool& found) {
    __m128i bits[Anchors], values[Anchors];
    for (int k = 0; k < Anchors; ++k) {
        bits[k] = _mm_set1_epi8(char(anchorBits[k]));
        values[k] = _mm_set1_epi8(char(anchorValues[k]));
    }
    for (; q + 32 <= end; q += 32) {
        unsigned places = placesHolding<Anchors>(bits, values, distance, data + q) |
                          placesHolding<Anchors>(bits, values, distance, data + q + 16) << 16;
        for (; places; places &= places - 1)
            if (confirm(q + size_t(__builtin_ctz(places)))) {
                found = true;
                return end;
            }
    }
    return q;
}
#endif

} // namespace

bool TextMatcher::sweepFinds(const Sweep& sweep, const uint8_t* data, size_t size, size_t decided,
                             uint64_t offset) const {
    const size_t farthest = sweep.distance[sweep.anchors - 1];
    if (size <= farthest || decided + sweep.highestOffset <= sweep.lowestOffset) return false;
    // First anchors of the starts below decided, whose last anchor lies in data.
    const size_t end = std::min(decided + sweep.highestOffset, size - farthest);
    auto confirm = [&](size_t q) { return confirms(sweep, data, size, q, decided, offset); };
    size_t q = sweep.lowestOffset;
#ifdef CORVASK_VECTOR_SWEEP
    if (vectorSweep_ && sweep.vector) {
        bool found = false;
        switch (sweep.anchors) {
        case 1:
            q = sweepVectors<1>(sweep.bits, sweep.value, sweep.distance, data, q, end, confirm,
                                found);
            break;
        case 2:
            q = sweepVectors<2>(sweep.bits, sweep.value, sweep.distance, data, q, end, confirm,
                                found);
            break;
        default:
            q = sweepVectors<3>(sweep.bits, sweep.value, sweep.distance, data, q, end, confirm,
                                found);
            break;
        }
        if (found) return true;
    }
#endif
    // A byte at a time: the last places, or every place without the vector instructions.
    for (; q < end; ++q) {
        int k = 0;
        while (k < sweep.anchors && sweep.holds[k][data[q + sweep.distance[k]]])
            ++k;
        if (k == sweep.anchors && confirm(q)) return true;
    }
    return false;
}

bool TextMatcher::formMatchesAt(const TextForm& form, const uint8_t* data, size_t size,
                                size_t start, uint64_t offset) const {
    if (form.evenOffsetsOnly && ((offset + start) & 1)) return false;
    size_t p = start;
    for (const auto& choices : form.positions) {
        if (p == size) return false;
        bool one = false;
        for (const TextBytes& b : choices) {
            if (b.bytes[0] != data[p] || b.length > size - p) continue;
            size_t t = 1;
            while (t < b.length && b.bytes[t] == data[p + t])
                ++t;
            if (t == b.length) {
                p += b.length;
                one = true;
                break;
            }
        }
        if (!one) return false;
    }
    return true;
}

bool TextMatcher::confirms(const Sweep& sweep, const uint8_t* data, size_t size, size_t q,
                           size_t decided, uint64_t offset) const {
    for (const Sweep::Use& use : sweep.uses)
        for (size_t at : use.offsets)
            if (q >= at && q - at < decided &&
                formMatchesAt(forms_[use.form], data, size, q - at, offset))
                return true;
    return false;
}

bool TextMatcher::scan(const uint8_t* data, size_t size, uint64_t offset, bool last,
                       size_t& resume) const {
    resume = size;
    if (forms_.empty()) return false;
    // Starts below decided are decided in this call: every match from them lies in data, or
    // the file ends with data.
    const size_t need = last ? shortest_ : longest_;
    const size_t decided = size >= need ? size - need + 1 : 0;
    resume = decided;
    if (decided == 0) return false;
    for (const Sweep& sweep : sweeps_)
        if (sweepFinds(sweep, data, size, decided, offset)) return true;
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
