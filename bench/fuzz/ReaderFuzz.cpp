// Reader fuzz: generated and mutated inputs through the option-file, list-file and result-file
// readers and the tool-bar resource reader, each through the function the program calls. Every
// input must give its data or a file-error text; none may crash, hang, or make the memory in use
// grow beyond a small multiple of its size.
//
//   bench_reader_fuzz [--inputs N] [--seed N] [--corpus DIR] [--write-corpus DIR]
// Exit code 0 when every input behaved; a failing input is saved as fuzz-failure.bin.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "options/ListFile.h"
#include "options/OptionFile.h"
#include "results/ResultFile.h"
#include "results/ResultStore.h"
#include "support/AllocationWatch.h"
#include "support/BoxRecorder.h"
#include "support/ScratchFolder.h"
#include "toolkit/CountedString.h"
#include "toolkit/FileArchive.h"
#include "toolkit/PathNames.h"
#include "ui/dialogex/DialogToolBar.h"

namespace {

enum Reader { OptionReader, ListReader, ResultReader, ToolBarReader, kReaders };
const char* const kReaderNames[] = {"option file", "list file", "result file", "tool-bar resource"};
const char* const kCorpusExtensions[] = {"opt", "sop", "sr", "tbr"};
constexpr UINT kFuzzToolBarId = 31001;
constexpr size_t kToolBarRoom = 1024;

// The input being read, for the crash and hang reports.
std::string g_current;
int g_currentReader = 0;
std::atomic<DWORD> g_inputStarted{0};
std::atomic<bool> g_busy{false};

void saveFailure(const char* why) {
    printf("FAIL (%s) in the %s reader; input saved as fuzz-failure.bin (%zu bytes)\n", why,
           kReaderNames[g_currentReader], g_current.size());
    fflush(stdout);
    FILE* f = fopen("fuzz-failure.bin", "wb");
    if (f) {
        fwrite(g_current.data(), 1, g_current.size(), f);
        fclose(f);
    }
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
    char why[64];
    snprintf(why, sizeof why, "crash, exception 0x%08lX",
             info ? info->ExceptionRecord->ExceptionCode : 0ul);
    saveFailure(why);
    ExitProcess(4);
}

// One input that takes more than ten seconds is a hang.
DWORD WINAPI watchdog(LPVOID) {
    for (;;) {
        Sleep(500);
        if (g_busy && GetTickCount() - g_inputStarted > 10000) {
            saveFailure("hang");
            ExitProcess(3);
        }
    }
}

// ---- seeds

std::string optionSeed(int variant) {
    SearchOptions o;
    o.namePattern = variant ? std::string(300, 'p') : "*.mp3 *.ogg";
    o.domains = {FilterMode::OnlyThese, {"WORKGROUP", "SALES"}};
    o.servers = {FilterMode::AllExcept, {"\\\\FILESRV1", ""}};
    o.folders = {FilterMode::OnlyThese, {"music", std::string(variant ? 70000 : 20, 'f')}};
    o.fromDate = -1000000000;
    o.toDate = 1700000000;
    if (!variant) {
        o.containingText = "Invoice 2024-117"; // the two fields after the folder names
        o.matchCase = 1;
    }
    std::string out;
    encodeOptions(out, o);
    return out;
}

std::string listSeed(int variant) {
    return variant ? std::string("\\\\alpha\r\n\\\\beta\nlast") : std::string("a\nb\n\nc\n");
}

std::string resultSeed(int variant) {
    std::string out;
    appendLE32(out, kResultFileHeader);
    const int n = variant ? 3 : 1;
    appendLE32(out, uint32_t(n));
    for (int i = 0; i < n; ++i) {
        FoundItem item;
        item.name = "file" + std::to_string(i) + ".txt";
        item.folder = variant ? "C:\\" + std::string(300, 'd') : "\\\\SRV\\share";
        item.size = 1234;
        item.lastWriteTime = FILETIME{0x12345678, 0x01D00000};
        appendResultRecord(out, item);
    }
    return out;
}

std::string toolBarSeed(int variant) {
    std::vector<WORD> words = {1, 16, 15, 4, 30201, 0, 30202, 30203};
    if (variant) words = {1, 16, 15, 2, 30201, 30202};
    return std::string(reinterpret_cast<const char*>(words.data()), words.size() * 2);
}

std::string seedFor(int reader, int variant) {
    switch (reader) {
    case OptionReader: return optionSeed(variant);
    case ListReader: return listSeed(variant);
    case ResultReader: return resultSeed(variant);
    default: return toolBarSeed(variant);
    }
}

// ---- mutation

std::string mutate(std::string in, std::mt19937& random, const std::vector<std::string>& pool) {
    auto pick = [&](size_t n) { return n ? size_t(random() % n) : 0; };
    const int steps = 1 + int(random() % 6);
    for (int s = 0; s < steps; ++s) {
        switch (random() % 9) {
        case 0: // flip a bit
            if (!in.empty()) in[pick(in.size())] ^= char(1 << (random() % 8));
            break;
        case 1: // a byte to an edge value: prefixes turn long, counts huge
            if (!in.empty()) {
                static const char edges[] = {0, 1, char(0x7F), char(0x80), char(0xFE), char(0xFF)};
                in[pick(in.size())] = edges[random() % sizeof edges];
            }
            break;
        case 2: // a random byte
            if (!in.empty()) in[pick(in.size())] = char(random());
            break;
        case 3: // cut
            in.resize(pick(in.size() + 1));
            break;
        case 4: { // insert random bytes
            std::string bytes(1 + random() % 16, '\0');
            for (char& c : bytes)
                c = char(random());
            in.insert(pick(in.size() + 1), bytes);
            break;
        }
        case 5: { // a 32-bit word at a random place to a hostile count
            static const uint32_t counts[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x10000000, 40000000,
                                              65534,      65535,      255,        0};
            if (in.size() >= 4) {
                uint32_t v = counts[random() % 8];
                memcpy(&in[pick(in.size() - 3)], &v, 4);
            }
            break;
        }
        case 6: { // repeat a piece (many records, many names)
            if (in.empty()) break;
            size_t at = pick(in.size()), n = 1 + pick(std::min<size_t>(64, in.size() - at));
            std::string piece = in.substr(at, n);
            int times = 1 + int(random() % 64);
            for (int i = 0; i < times && in.size() < 65536; ++i)
                in.insert(at, piece);
            break;
        }
        case 7: { // splice with another input of the same reader
            if (pool.empty()) break;
            const std::string& other = pool[pick(pool.size())];
            in = in.substr(0, pick(in.size() + 1)) + other.substr(pick(other.size() + 1));
            break;
        }
        default: { // pure noise
            in.assign(random() % 256, '\0');
            for (char& c : in)
                c = char(random());
            break;
        }
        }
    }
    return in;
}

// ---- the readers

struct Outcome {
    bool data = false;  // the reader gave its data
    bool error = false; // the reader gave a file-error text
    std::string text;
};

bool isFileErrorText(const std::string& text, const std::string& path) {
    for (const FileError::Cause cause :
         {FileError::Generic, FileError::FileNotFound, FileError::BadPath, FileError::AccessDenied,
          FileError::SharingViolation, FileError::DiskFull, FileError::EndOfFile}) {
        if (text == FileError(cause, 0, path).message() + "\n" ||
            text == FileError(cause, 0, path).message() ||
            text == FileError(cause, 0, "an unnamed file").message())
            return true;
    }
    return false;
}

Outcome readOption(const std::string& input, const std::string& path) {
    Outcome out;
    SearchOptions o;
    try {
        BufferSource in(input);
        decodeOptions(in, o);
        out.data = true;
    } catch (const PastEndOfBuffer&) {
        out.error = true;
    } catch (const std::bad_alloc&) {
        out.error = true;
    }
    // Every 64th input also goes through the file as Open Configuration reads it: the file gives
    // what the bytes gave, and a refusal is a file-error text.
    if (std::hash<std::string>()(input) % 64 == 0) {
        writeWholeFile(path, input);
        bool fileData = false;
        try {
            readOptionFile(path, o);
            fileData = true;
        } catch (const FileError& e) {
            out.text = e.message();
        }
        if (fileData != out.data || (!fileData && !isFileErrorText(out.text, path)))
            out.data = out.error = false;
    }
    return out;
}

Outcome readList(const std::string& input) {
    Outcome out;
    std::vector<std::string> names;
    try {
        ListFileReader reader(names, input.size());
        reader.feed(input.data(), input.size());
        reader.finish();
        out.data = true;
    } catch (const std::bad_alloc&) {
        out.error = true;
    }
    return out;
}

Outcome readResult(const std::string& input, const std::string& path, BoxRecorder& boxes) {
    Outcome out;
    writeWholeFile(path, input);
    ResultSet store;
    boxes.clear();
    const bool loaded = loadResultFile(store, path, nullptr);
    if (loaded && boxes.empty()) out.data = true;
    if (!loaded && boxes.size() == 1 && isFileErrorText(boxes[0].text, path)) {
        out.error = true;
        out.text = boxes[0].text;
    }
    if (!out.data && !out.error && boxes.size()) out.text = boxes[0].text;
    // Whatever was loaded, before a failure too, is a plain name in a plain folder: the actions
    // build paths from them.
    constexpr std::string_view kNeverInAName("\\/:*\0", 5);
    for (int32_t i = 0; i < store.count(); ++i) {
        FoundItem item;
        store.copyAt(i, item);
        if (item.name.empty() || item.name.find_first_of(kNeverInAName) != std::string::npos ||
            !isPlainFolder(item.folder, QuestionMarks::Kept)) {
            out.data = out.error = false;
            out.text = "record " + std::to_string(i) + " names no plain file";
            break;
        }
    }
    return out;
}

class ToolBarHost {
public:
    ToolBarHost() {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kFuzzToolBarId),
                                    MAKEINTRESOURCEA(dialogex::kToolBarResourceType));
        room_ = found ? static_cast<char*>(LockResource(LoadResource(nullptr, found))) : nullptr;
        DWORD old = 0;
        if (room_) VirtualProtect(room_, kToolBarRoom, PAGE_READWRITE, &old);
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    }
    ~ToolBarHost() { DestroyWindow(parent_); }
    bool ready() const { return room_ && parent_; }

    Outcome read(const std::string& input) {
        // The resource keeps its size; the input fills it from the front, the rest is zero.
        memset(room_, 0, kToolBarRoom);
        memcpy(room_, input.data(), std::min(input.size(), kToolBarRoom));
        dialogex::DialogToolBar bar;
        Outcome out;
        if (!bar.create(parent_, true)) return out;
        out.data = bar.loadToolBar(kFuzzToolBarId);
        out.error = !out.data; // refused: the bar is left as it was
        DestroyWindow(bar.hwnd());
        return out;
    }

private:
    char* room_ = nullptr;
    HWND parent_ = nullptr;
};

std::vector<std::string> readCorpus(const std::string& folder, int reader) {
    std::vector<std::string> inputs;
    WIN32_FIND_DATAA found;
    const std::string mask = folder + "\\*." + kCorpusExtensions[reader];
    HANDLE h = FindFirstFileA(mask.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return inputs;
    do {
        inputs.push_back(readWholeFile(folder + "\\" + found.cFileName));
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return inputs;
}

} // namespace

int main(int argc, char** argv) {
    long long inputs = 1000000;
    unsigned seed = 20261208;
    std::string corpus, writeCorpus;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--inputs")) inputs = atoll(argv[i + 1]);
        if (!strcmp(argv[i], "--seed")) seed = unsigned(atoi(argv[i + 1]));
        if (!strcmp(argv[i], "--corpus")) corpus = argv[i + 1];
        if (!strcmp(argv[i], "--write-corpus")) writeCorpus = argv[i + 1];
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    SetUnhandledExceptionFilter(onCrash);
    CloseHandle(CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr));

    std::vector<std::string> pools[kReaders];
    for (int r = 0; r < kReaders; ++r) {
        for (int v = 0; v < 2; ++v)
            pools[r].push_back(seedFor(r, v));
        if (!corpus.empty())
            for (std::string& input : readCorpus(corpus, r))
                pools[r].push_back(std::move(input));
        if (!writeCorpus.empty())
            for (size_t i = 0; i < pools[r].size(); ++i)
                writeWholeFile(writeCorpus + "\\seed" + std::to_string(i) + "." +
                                   kCorpusExtensions[r],
                               pools[r][i]);
    }

    ScratchFolder scratch;
    const std::string optionPath = scratch.file("fuzz.opt"), resultPath = scratch.file("fuzz.sr");
    BoxRecorder boxes;
    ToolBarHost toolBar;
    if (!toolBar.ready()) {
        printf("the tool-bar resource of the fuzz is missing\n");
        return 2;
    }

    std::mt19937 random(seed);
    long long perReader[kReaders] = {}, data[kReaders] = {}, errors[kReaders] = {};
    long long msPerReader[kReaders] = {};
    size_t largestInput = 0;
    double worstPeakPerByte = 0;
    size_t worstPeak = 0;
    const DWORD started = GetTickCount();
    for (long long n = 0; n < inputs; ++n) {
        // The file and window readers cost milliseconds per input under Wine, the byte readers
        // microseconds: of a hundred inputs, 47 go to each byte reader, 5 to the result file
        // and 1 to the tool bar.
        const int slot = int(n % 100);
        const int reader = slot < 47   ? OptionReader
                           : slot < 94 ? ListReader
                           : slot < 99 ? ResultReader
                                       : ToolBarReader;
        std::vector<std::string>& pool = pools[reader];
        std::string input = random() % 8 == 0 ? pool[random() % pool.size()]
                                              : mutate(pool[random() % pool.size()], random, pool);
        g_current = input;
        g_currentReader = reader;
        g_inputStarted = GetTickCount();
        g_busy = true;
        Outcome out;
        size_t peak = 0;
        const DWORD inputStarted = GetTickCount();
        {
            AllocationWatch watch;
            switch (reader) {
            case OptionReader: out = readOption(input, optionPath); break;
            case ListReader: out = readList(input); break;
            case ResultReader: out = readResult(input, resultPath, boxes); break;
            default: out = toolBar.read(input); break;
            }
            peak = watch.peakGrowth();
        }
        g_busy = false;
        msPerReader[reader] += GetTickCount() - inputStarted;
        ++perReader[reader];
        largestInput = std::max(largestInput, input.size());
        if (out.data) ++data[reader];
        if (out.error) ++errors[reader];
        if (!out.data && !out.error) {
            saveFailure(("neither data nor a file-error text: \"" + out.text + "\"").c_str());
            return 1;
        }
        // Memory: the reader's own data within a small multiple of the input, beyond a fixed
        // allowance for what every read makes (buffers, the file's path, a tool bar's window).
        const size_t allowed = 8 * input.size() + (2u << 20);
        if (peak > worstPeak) worstPeak = peak;
        if (input.size() > 65536)
            worstPeakPerByte = std::max(worstPeakPerByte, double(peak) / double(input.size()));
        if (peak > allowed) {
            saveFailure(("memory grew by " + std::to_string(peak) + " bytes").c_str());
            return 1;
        }
        // Interesting inputs join the pool (small ones, so that the pool stays small).
        if (out.data && input.size() < 4096 && pool.size() < 256 && random() % 64 == 0)
            pool.push_back(input);
        if ((n + 1) % 100000 == 0) {
            printf("  %lld inputs, %.0f s\n", n + 1, (GetTickCount() - started) / 1000.0);
            fflush(stdout);
        }
    }
    const double seconds = (GetTickCount() - started) / 1000.0;
    printf("reader fuzz: %lld inputs in %.0f s (seed %u): 0 crashes, 0 hangs (10 s limit per "
           "input), every input gave its data or a file-error text\n",
           inputs, seconds, seed);
    for (int r = 0; r < kReaders; ++r)
        printf("  %-18s %8lld inputs: %8lld data, %8lld file errors or refusals, %6.0f s\n",
               kReaderNames[r], perReader[r], data[r], errors[r], msPerReader[r] / 1000.0);
    printf("largest input %zu bytes; highest memory growth %zu bytes; worst growth per input byte "
           "(inputs above 64 KiB) %.1f\n",
           largestInput, worstPeak, worstPeakPerByte);
    printf("PASS\n");
    fflush(stdout);
    return 0;
}
