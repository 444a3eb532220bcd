// The result-file record reader: decode from the window, fetch what is missing, decode again.
#include "results/ResultRecords.h"

#include <cstring>

#include "toolkit/PathNames.h"

namespace {

// A record's two texts can be no longer than this.
constexpr uint64_t kMostRecordBytes =
    kResultRecordFixedBytes + 2 * (kMostCountedPrefixBytesRead + kMostTextBytes);

} // namespace

bool isStorableRecord(std::string_view name, std::string_view folder) {
    return isPlainName(name, QuestionMarks::Kept) && isPlainFolder(folder, QuestionMarks::Kept);
}

const ResultRecord& ResultRecordReader::next() {
    for (;;) {
        ByteDecoder in(window_.data() + start_, end_ - start_);
        in.skip(4); // the reserved word
        for (uint32_t& word : record_.times)
            word = in.u32();
        record_.size = in.u32();
        record_.attributes = in.u32();
        const CountedText name = in.countedText();
        const CountedText folder = in.countedText();
        if (!in.ok()) {
            fetch(in.shortBy());
            continue;
        }
        if (name.bytes.size() > kMostTextBytes || folder.bytes.size() > kMostTextBytes)
            throw TooLargeToRead();
        start_ += in.position();
        record_.name = textOf(name, wideName_);
        record_.folder = textOf(folder, wideFolder_);
        if (!isStorableRecord(record_.name, record_.folder)) throw BadResultRecord();
        return record_;
    }
}

void ResultRecordReader::fetch(uint64_t missing) {
    // Both sides are 64-bit: neither the claim nor the sum can wrap.
    if (missing > source_.bytesLeft()) source_.failPastEnd();
    const uint64_t need = uint64_t(end_ - start_) + missing;
    if (need > kMostRecordBytes) throw TooLargeToRead();
    // The record so far moves to the front; the window grows when one record is longer than it.
    const size_t have = end_ - start_;
    if (have) std::memmove(window_.data(), window_.data() + start_, have);
    start_ = 0;
    end_ = have;
    if (need > window_.size()) window_.resize(size_t(need));
    // At least `missing` bytes, as many more as fit and the source holds.
    const size_t room = window_.size() - end_;
    const uint64_t left = source_.bytesLeft();
    const size_t take = left < room ? size_t(left) : room;
    source_.readBytes(window_.data() + end_, take);
    end_ += take;
}

std::string_view ResultRecordReader::textOf(const CountedText& text, std::string& converted) {
    if (!text.wide) return text.bytes;
    units_.resize(text.bytes.size() / 2);
    if (!units_.empty()) std::memcpy(units_.data(), text.bytes.data(), units_.size() * 2);
    converted = ansiFromUtf16(units_.data(), units_.size());
    return converted;
}
