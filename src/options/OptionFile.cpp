// Encoding and decoding of the option file (platform-neutral: no windows.h, so that it can also
// be built natively for fuzzing).
#include "options/OptionFile.h"

namespace {

void appendI32(std::string& out, int32_t v) {
    appendLE32(out, uint32_t(v));
}

void appendNames(std::string& out, const FilterList& list) {
    appendLE32(out, uint32_t(list.names.size()));
    for (const std::string& name : list.names)
        appendCountedString(out, name);
}

int32_t takeI32(ByteSource& in) {
    return int32_t(readLE32(in));
}

std::string takeString(ByteSource& in, ReadBudget& budget) {
    std::string s = readCountedString(in);
    budget.charge(ReadBudget::stringHeapBytes(s.size()));
    return s;
}

void takeNames(ByteSource& in, FilterList& list, ReadBudget& budget) {
    uint32_t count = readLE32(in);
    list.names.clear();
    // Every name takes at least its one-byte prefix: a count beyond the bytes left cannot be
    // satisfied. A count that fits may still need far more memory than the file holds (a name
    // object for every one-byte empty name): the budget refuses it before anything is made.
    if (count > in.bytesLeft()) in.failPastEnd();
    budget.chargeElements(count, sizeof(std::string));
    list.names.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        list.names.push_back(takeString(in, budget));
}

} // namespace

void encodeOptions(std::string& out, const SearchOptions& o) {
    appendLE32(out, OPTION_FILE_FORMAT);
    appendLE32(out, kOptionFileReservedWord);
    appendI32(out, o.includeSubfolders);
    appendI32(out, o.fileType);
    appendI32(out, int32_t(o.scope));
    appendI32(out, int32_t(o.domains.mode));
    appendI32(out, int32_t(o.servers.mode));
    appendI32(out, int32_t(o.folders.mode));
    appendI32(out, o.dateEnabled);
    appendI32(out, o.dateKind);
    appendI32(out, o.dateMode);
    appendI32(out, o.previousUnit);
    appendLE32(out, o.previousCount);
    appendI32(out, o.largerThanOn);
    appendI32(out, o.smallerThanOn);
    appendLE32(out, o.largerThanKB);
    appendLE32(out, o.smallerThanKB);
    appendCountedString(out, o.namePattern);
    appendI32(out, o.fromDate);
    appendI32(out, o.toDate);
    appendNames(out, o.domains);
    appendNames(out, o.servers);
    appendNames(out, o.folders);
    // Without a text the file is exactly what earlier versions wrote.
    if (o.containingText.empty()) return;
    appendCountedString(out, o.containingText);
    appendI32(out, o.matchCase);
}

void decodeOptions(ByteSource& in, SearchOptions& o) {
    ReadBudget budget(in.bytesLeft());
    readLE32(in); // the format word: not tested
    readLE32(in); // the reserved word: ignored
    o.includeSubfolders = takeI32(in);
    o.fileType = takeI32(in);
    o.scope = SearchScope(takeI32(in));
    o.domains.mode = FilterMode(takeI32(in));
    o.servers.mode = FilterMode(takeI32(in));
    o.folders.mode = FilterMode(takeI32(in));
    o.dateEnabled = takeI32(in);
    o.dateKind = takeI32(in);
    o.dateMode = takeI32(in);
    o.previousUnit = takeI32(in);
    o.previousCount = readLE32(in);
    o.largerThanOn = takeI32(in);
    o.smallerThanOn = takeI32(in);
    o.largerThanKB = readLE32(in);
    o.smallerThanKB = readLE32(in);
    o.namePattern = takeString(in, budget);
    o.fromDate = takeI32(in);
    o.toDate = takeI32(in);
    takeNames(in, o.domains, budget);
    takeNames(in, o.servers, budget);
    takeNames(in, o.folders, budget);
    // The text and its flag: absent from files without a text (and from every earlier version's).
    o.containingText.clear();
    o.matchCase = 0;
    if (in.bytesLeft() == 0) return;
    o.containingText = takeString(in, budget);
    o.matchCase = takeI32(in);
    // The flag means nothing without a text, and a file with an empty text would not be saved
    // back with it.
    if (o.containingText.empty()) o.matchCase = 0;
}
