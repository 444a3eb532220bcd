// The platform-neutral readers built natively for libFuzzer with AddressSanitizer and
// UndefinedBehaviorSanitizer, 64-bit and 32-bit (bench/run-native-fuzz.sh). The first byte of an
// input chooses the reader (its value modulo 3: option file, list file, result file), the rest is
// the file. Each input must give its data or the reader's refusal (past the end, more memory than
// its size allows, a record that names no plain file), nothing else.
//
// A result file may also stand in front of a run of zero bytes that the input does not hold (the
// first byte divided by 3 chooses how long), so that counts and lengths can claim what only a
// file of gigabytes could satisfy: in a 32-bit build every size computed from them must still be
// checked before it is used.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "options/ListFile.h"
#include "options/OptionFile.h"
#include "results/ResultRecords.h"
#include "results/TextPool.h"
#include "toolkit/AnsiChars.h"
#include "toolkit/CountedString.h"
#include "toolkit/GrowableArray.h"
#include "toolkit/PathNames.h"

// The program converts with the platform's tables (AnsiText.cpp); here every unit that is not
// ASCII becomes '?', which is what a code page without that character gives.
std::string ansiFromUtf16(const char16_t* units, size_t count) {
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
        out.push_back(units[i] < 0x80 ? char(units[i]) : '?');
    return out;
}

// Natively there is no platform table: the readers run in code page 932, whose trail bytes
// include the backslash and the letters, the hardest case for every name check.
namespace toolkit {
// No growing blocks natively: every array lives on the heap.
void* reserveGrowingBlock(size_t) { return nullptr; }
bool growBlockInPlace(void*, size_t) { return false; }
void releaseGrowingBlock(void*) {}
} // namespace toolkit

namespace ansi {
unsigned platformCodePage() { return 932; }
bool platformLeadBytes(unsigned, LeadBytes&) { return false; }
} // namespace ansi

namespace {

// The input's bytes, then zeros up to a size of the harness's choosing, as a sparse file reads.
class PaddedSource : public ByteSource {
public:
    PaddedSource(std::string_view bytes, uint64_t zeros) : bytes_(bytes), size_(bytes.size() + zeros) {}
    void readBytes(void* dst, size_t n) override {
        if (n > size_ - pos_) {
            pos_ = size_;
            throw PastEndOfBuffer();
        }
        auto* out = static_cast<char*>(dst);
        const size_t real = pos_ < bytes_.size() ? std::min<uint64_t>(n, bytes_.size() - pos_) : 0;
        if (real) std::memcpy(out, bytes_.data() + pos_, real);
        if (n > real) std::memset(out + real, 0, n - real);
        pos_ += n;
    }
    uint64_t bytesLeft() const override { return size_ - pos_; }
    [[noreturn]] void failPastEnd() override { throw PastEndOfBuffer(); }

private:
    std::string_view bytes_;
    uint64_t size_;
    uint64_t pos_ = 0;
};

// What the result store keeps of a record: as large as its item in the 32-bit program.
struct KeptItem {
    uint32_t words[8];
    const PooledText* name;
    const PooledText* folder;
};

constexpr uint64_t kPaddings[] = {0, uint64_t(0x7FFFFFF0), uint64_t(0x106400000) /* 4.1 GiB */,
                                  uint64_t(0x3FFFFFFFF)};

void readResult(std::string_view file, uint64_t zeros) {
    PaddedSource in(file, zeros);
    GrowableArray<KeptItem> items(16383);
    TextPool texts;
    try {
        readLE32(in); // the header word
        const int32_t n = int32_t(readLE32(in));
        if (n <= 0) return;
        // The loader makes room for what the file can hold at the least. Where that block's
        // size does not fit in size_t the array must refuse it before allocating anything;
        // blocks too large for the fuzzer's memory limit are left out (the loader tolerates a
        // refused reservation).
        const uint64_t fit = std::min<uint64_t>(uint64_t(n), in.bytesLeft() / kSmallestRecordBytes);
        if (fit * sizeof(KeptItem) > SIZE_MAX) {
            try {
                items.reserve(int32_t(fit));
                abort(); // a wrapped size was allocated
            } catch (const std::bad_alloc&) {
            }
        } else if (fit * sizeof(KeptItem) <= (uint64_t(1) << 20)) {
            items.reserve(int32_t(fit));
        }
        ResultRecordReader reader(in);
        for (int32_t i = 0; i < n; ++i) {
            const ResultRecord& record = reader.next();
            // No loaded name holds a separator, a drive colon, NUL or '*'; every folder is a
            // drive root, drive path or network path.
            if (record.name.empty() ||
                record.name.find_first_of(std::string_view("\\/:*\0", 5)) != std::string::npos ||
                !isPlainFolder(record.folder, QuestionMarks::Kept))
                abort();
            KeptItem kept{};
            std::memcpy(kept.words, record.times, sizeof record.times);
            kept.name = texts.add(record.name);
            kept.folder = texts.add(record.folder);
            items.append(kept);
            if (kept.name->view() != record.name) abort();
        }
    } catch (const PastEndOfBuffer&) {
    } catch (const BadResultRecord&) {
    } catch (const std::bad_alloc&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 3 == 0) {
        SearchOptions options;
        try {
            BufferSource in(file);
            decodeOptions(in, options);
            // What was read, written and read again, is the same.
            std::string again;
            encodeOptions(again, options);
            BufferSource back(again);
            SearchOptions reread;
            decodeOptions(back, reread);
            if (!(reread == options) || back.bytesLeft() != 0) abort();
        } catch (const PastEndOfBuffer&) {
        } catch (const std::bad_alloc&) {
        }
    } else if (data[0] % 3 == 1) {
        std::vector<std::string> names;
        try {
            ListFileReader reader(names, file.size());
            reader.feed(file.data(), file.size());
            reader.finish();
            for (const std::string& name : names)
                if (name.empty() || name.find('\n') != std::string::npos) abort();
        } catch (const std::bad_alloc&) {
        }
    } else {
        readResult(file, kPaddings[(data[0] / 3) % 4]);
    }
    return 0;
}
