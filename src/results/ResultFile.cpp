// The result file: the rows of a view saved as records, and loaded back into the result store.
#include "results/ResultFile.h"

#include <commctrl.h>

#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "toolkit/CountedString.h"
#include "toolkit/FileArchive.h"
#include "toolkit/MessageBoxes.h"

namespace {

uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void putTime(std::string& out, const FILETIME& t) {
    appendLE32(out, t.dwLowDateTime);
    appendLE32(out, t.dwHighDateTime);
}

FILETIME getTime(const uint8_t* p) {
    return FILETIME{getU32(p), getU32(p + 4)};
}

void reportFileError(HWND owner, const std::string& text) {
    showMessageBox(owner, text, kAppTitle, MB_ICONSTOP);
}

} // namespace

void appendResultRecord(std::string& out, const FoundItem& item) {
    appendLE32(out, kResultRecordMark);
    putTime(out, item.creationTime);
    putTime(out, item.lastAccessTime);
    putTime(out, item.lastWriteTime);
    appendLE32(out, item.size);
    appendLE32(out, item.attributes);
    appendCountedString(out, item.name);
    appendCountedString(out, item.folder);
}

FoundItem readResultRecord(ByteSource& in) {
    uint8_t fixed[kResultRecordFixedBytes];
    in.readBytes(fixed, sizeof fixed);
    FoundItem item;
    // fixed[0..3] is the reserved word, ignored.
    item.creationTime = getTime(fixed + 4);
    item.lastAccessTime = getTime(fixed + 12);
    item.lastWriteTime = getTime(fixed + 20);
    item.size = getU32(fixed + 28);
    item.attributes = getU32(fixed + 32);
    item.name = readCountedString(in);
    item.folder = readCountedString(in);
    return item;
}

bool saveResultFile(ResultView& view, const std::string& path, HWND owner) {
    try {
        FileArchive file = FileArchive::createForWriting(path);
        file.writeU32(kResultFileHeader);
        int32_t n = view.itemCount();
        file.writeI32(n);
        std::string record;
        for (int32_t row = 0; row < n; ++row) {
            record.clear();
            // Rows below the count always have an item while the results are not cleared,
            // which only this thread does; an empty record keeps the count true regardless.
            appendResultRecord(record, view.itemAt(row).value_or(FoundItem{}));
            file.writeBytes(record.data(), record.size());
        }
        file.close();
        return true;
    } catch (const FileError& e) {
        reportFileError(owner, e.message());
        return false;
    }
}

bool loadResultFile(ResultSet& store, const std::string& path, HWND owner) {
    try {
        FileArchive file = FileArchive::openForReading(path);
        file.readU32(); // the header word is not examined
        int32_t n = file.readI32();
        // A count larger than the file can hold is not trusted ahead: every record is read
        // before it is stored, and the end of the file ends the loop with an error.
        HWND list = store.list();
        for (int32_t i = 0; i < n; ++i) {
            int32_t position = store.append(readResultRecord(file));
            setListRowCount(list, position + 1, kAppendCountFlags);
        }
        file.close();
        return true;
    } catch (const FileError& e) {
        if (e.cause == FileError::EndOfFile) {
            reportFileError(owner, FileError(FileError::EndOfFile, 0, "an unnamed file").message());
        } else {
            reportFileError(owner, e.message());
        }
        return false;
    }
}

bool openResultFile(ResultHistory& history, ResultSet& store, const std::string& path, HWND owner) {
    history.clearAll();
    if (HWND list = store.list()) {
        setListRowCount(list, 0, LVSICF_NOINVALIDATEALL);
        InvalidateRect(list, nullptr, TRUE);
    }
    bool loaded = loadResultFile(store, path, owner);
    history.pushIdentityLevel();
    return loaded;
}
