// The platform-neutral readers built natively for libFuzzer with AddressSanitizer and
// UndefinedBehaviorSanitizer (bench/run-native-fuzz.sh): the first byte of an input chooses the
// option-file or the list-file reader, the rest is the file. Each input must give its data or
// the reader's refusal (past the end, or more memory than its size allows), nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "options/ListFile.h"
#include "options/OptionFile.h"
#include "toolkit/CountedString.h"

// The program converts with the platform's tables (AnsiText.cpp); here every unit that is not
// ASCII becomes '?', which is what a code page without that character gives.
std::string ansiFromUtf16(const char16_t* units, size_t count) {
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
        out.push_back(units[i] < 0x80 ? char(units[i]) : '?');
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
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
    } else {
        std::vector<std::string> names;
        try {
            ListFileReader reader(names, file.size());
            reader.feed(file.data(), file.size());
            reader.finish();
            for (const std::string& name : names)
                if (name.empty() || name.find('\n') != std::string::npos) abort();
        } catch (const std::bad_alloc&) {
        }
    }
    return 0;
}
