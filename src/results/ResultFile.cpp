// The result file: the rows of a view saved as records, and loaded back into the result store.
#include "results/ResultFile.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "toolkit/CountedString.h"
#include "toolkit/FileArchive.h"
#include "toolkit/MessageBoxes.h"

namespace {

void putTime(std::string& out, const FILETIME& t) {
    appendLE32(out, t.dwLowDateTime);
    appendLE32(out, t.dwHighDateTime);
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

namespace {

// Rows whose item the file can hold: a row without an item, or an item whose name or folder the
// reader would refuse, is left out rather than written as a record that would end the load
// and drop every later row.
bool isStored(const StoredItem* item) {
    return item && isStorableRecord(item->nameView(), item->folderView());
}

// The records of one block of rows, written in place: no zero-filling and no growth per field.
class RecordBlock {
public:
    void clear() { size_ = 0; }
    const char* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

    // One record for a stored item the reader takes (isStored); nothing for any other row.
    void append(const StoredItem* item) {
        if (!isStored(item)) return;
        const std::string_view name = item->nameView(), folder = item->folderView();
        char* p = room(kResultRecordFixedBytes + 2 * kMostCountedPrefixBytes + name.size() +
                       folder.size());
        putLE32(p, kResultRecordMark);
        putLE32(p + 4, item->creationTime.dwLowDateTime);
        putLE32(p + 8, item->creationTime.dwHighDateTime);
        putLE32(p + 12, item->lastAccessTime.dwLowDateTime);
        putLE32(p + 16, item->lastAccessTime.dwHighDateTime);
        putLE32(p + 20, item->lastWriteTime.dwLowDateTime);
        putLE32(p + 24, item->lastWriteTime.dwHighDateTime);
        putLE32(p + 28, item->size);
        putLE32(p + 32, item->attributes);
        char* end = putCountedString(p + kResultRecordFixedBytes, name);
        end = putCountedString(end, folder);
        size_ = size_t(end - bytes_.get());
    }

private:
    // At least n free bytes at the end.
    char* room(size_t n) {
        if (capacity_ - size_ < n) {
            const size_t capacity = std::max({capacity_ * 2, size_ + n, size_t(64 * 1024)});
            std::unique_ptr<char[]> grown(new char[capacity]);
            if (size_) std::memcpy(grown.get(), bytes_.get(), size_);
            bytes_ = std::move(grown);
            capacity_ = capacity;
        }
        return bytes_.get() + size_;
    }

    std::unique_ptr<char[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

FILETIME timeOf(const uint32_t* words) {
    return FILETIME{words[0], words[1]};
}

// The record as the store takes it.
FoundItemRef itemOf(const ResultRecord& record) {
    FoundItemRef item;
    item.creationTime = timeOf(record.times);
    item.lastAccessTime = timeOf(record.times + 2);
    item.lastWriteTime = timeOf(record.times + 4);
    item.size = record.size;
    item.attributes = record.attributes;
    item.name = record.name;
    item.folder = record.folder;
    return item;
}

} // namespace

bool saveResultFile(ResultView& view, const std::string& path, HWND owner) {
    try {
        FileArchive file = FileArchive::createForWriting(path);
        file.writeU32(kResultFileHeader);
        const int32_t n = view.itemCount();
        // The count is that of the records written, so it is known before the first of them.
        int32_t stored = 0;
        for (int32_t row = 0; row < n;)
            row += view.visitRowBlock(row, n, [&stored](int32_t, const StoredItem* item) {
                if (isStored(item)) ++stored;
            });
        file.writeI32(stored);
        RecordBlock block;
        for (int32_t row = 0; row < n;) {
            block.clear();
            row += view.visitRowBlock(
                row, n, [&block](int32_t, const StoredItem* item) { block.append(item); });
            file.writeBytes(block.data(), block.size()); // no lock held
        }
        file.close();
        return true;
    } catch (const FileError& e) {
        reportFileError(owner, e.message());
        return false;
    } catch (const std::bad_alloc&) {
        reportFileError(owner, FileError(FileError::Generic, 0, path).message());
        return false;
    }
}

bool loadResultFile(ResultSet& store, const std::string& path, HWND owner) {
    HWND list = store.list();
    bool loaded = false;
    try {
        FileArchive file = FileArchive::openForReading(path);
        file.readU32(); // the header word is not examined
        int32_t n = file.readI32();
        if (n > 0) {
            // Room for the records the file can hold at the least, not for what the count claims.
            // A sparse file of gigabytes may claim more than the process can address: then the
            // store grows as records actually arrive, and a bad record ends the load long before.
            uint64_t fit = file.bytesLeft() / kSmallestRecordBytes;
            uint64_t wanted = std::min<uint64_t>(uint64_t(n), fit) + uint64_t(store.count());
            try {
                store.reserve(int32_t(std::min<uint64_t>(wanted, INT32_MAX)));
            } catch (const std::bad_alloc&) {
            }
            ResultRecordReader reader(file);
            for (int32_t i = 0; i < n; ++i) {
                store.append(itemOf(reader.next()));
                if ((i & 4095) == 4095) setListRowCount(list, store.count(), kAppendCountFlags);
            }
        }
        file.close();
        loaded = true;
    } catch (const FileError& e) {
        if (e.cause == FileError::EndOfFile) {
            reportFileError(owner, FileError(FileError::EndOfFile, 0, "an unnamed file").message());
        } else {
            reportFileError(owner, e.message());
        }
    } catch (const std::exception&) {
        // A record that names no plain file, a text longer than any name, more records than
        // memory (std::bad_alloc, std::length_error): what was read stays, the rest is reported
        // like a bad file.
        reportFileError(owner, FileError(FileError::Generic, 0, path).message());
    }
    setListRowCount(list, store.count(), kAppendCountFlags);
    return loaded;
}

bool openResultFile(ResultHistory& history, ResultSet& store, const std::string& path, HWND owner) {
    history.clearAll();
    if (HWND list = store.list()) {
        setListRowCount(list, 0, LVSICF_NOINVALIDATEALL);
        InvalidateRect(list, nullptr, TRUE);
    }
    bool loaded = loadResultFile(store, path, owner);
    try {
        history.pushIdentityLevel();
    } catch (const std::bad_alloc&) {
        // Not even the level over the records read fits in memory: the results are emptied, so
        // that the window shows one consistent state, and the load counts as failed.
        if (loaded) reportFileError(owner, FileError(FileError::Generic, 0, path).message());
        history.clearAll();
        history.pushIdentityLevel();
        loaded = false;
    }
    return loaded;
}
