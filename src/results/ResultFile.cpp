// The result file: the rows of a view saved as records, and loaded back into the result store.
#include "results/ResultFile.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

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

namespace {

void put32(char* p, uint32_t v) {
    p[0] = char(v);
    p[1] = char(v >> 8);
    p[2] = char(v >> 16);
    p[3] = char(v >> 24);
}

// The records of one block of rows, written in place: no zero-filling and no growth per field.
class RecordBlock {
public:
    void clear() { size_ = 0; }
    const char* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

    // One record for a stored item, or an empty record for a row without one (so that the count
    // written stays true).
    void append(const StoredItem* item) {
        if (!item) {
            char* p = room(kResultRecordFixedBytes + 2);
            put32(p, kResultRecordMark);
            std::memset(p + 4, 0, kResultRecordFixedBytes - 4 + 2); // two empty texts follow
            size_ += kResultRecordFixedBytes + 2;
            return;
        }
        const std::string_view name = item->nameView(), folder = item->folderView();
        char* p = room(kResultRecordFixedBytes + 2 * kMostCountedPrefixBytes + name.size() +
                       folder.size());
        put32(p, kResultRecordMark);
        put32(p + 4, item->creationTime.dwLowDateTime);
        put32(p + 8, item->creationTime.dwHighDateTime);
        put32(p + 12, item->lastAccessTime.dwLowDateTime);
        put32(p + 16, item->lastAccessTime.dwHighDateTime);
        put32(p + 20, item->lastWriteTime.dwLowDateTime);
        put32(p + 24, item->lastWriteTime.dwHighDateTime);
        put32(p + 28, item->size);
        put32(p + 32, item->attributes);
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

// The fewest bytes a record takes in a file: the fixed part and two empty texts. A load never
// makes room for more records than the file can hold at this size.
constexpr uint64_t kSmallestRecordBytes = kResultRecordFixedBytes + 2;

// Reads records from the archive a window of bytes at a time and parses each one from memory.
// No length is trusted before it has been checked against what the file still holds, so the
// window never grows beyond the file.
class RecordReader {
public:
    explicit RecordReader(FileArchive& file) : file_(file), window_(kWindowBytes) {}

    // The next record; texts sent in UTF-16 are converted. Valid until the next call. Throws the
    // archive's end-of-file error when the file ends first.
    FoundItemRef next() {
        const uint8_t* p = need(kResultRecordFixedBytes);
        FoundItemRef item;
        item.creationTime = FILETIME{getU32(p + 4), getU32(p + 8)};
        item.lastAccessTime = FILETIME{getU32(p + 12), getU32(p + 16)};
        item.lastWriteTime = FILETIME{getU32(p + 20), getU32(p + 24)};
        item.size = getU32(p + 28);
        item.attributes = getU32(p + 32);
        size_t offset = kResultRecordFixedBytes;
        Text name = text(offset, wideName_);
        Text folder = text(offset, wideFolder_);
        const char* base = reinterpret_cast<const char*>(window_.data() + start_);
        item.name =
            name.wide ? std::string_view(wideName_) : std::string_view(base + name.at, name.length);
        item.folder = folder.wide ? std::string_view(wideFolder_)
                                  : std::string_view(base + folder.at, folder.length);
        start_ += offset;
        return item;
    }

private:
    static constexpr size_t kWindowBytes = 256 * 1024;
    struct Text {
        size_t at;
        size_t length;
        bool wide;
    };

    // Bytes start_ .. start_ + n - 1 of the window (the record being read), reading more of the
    // file as needed.
    const uint8_t* need(size_t n) {
        if (n <= end_ - start_) return window_.data() + start_;
        const size_t have = end_ - start_;
        if (n - have > file_.bytesLeft()) file_.failPastEnd();
        std::memmove(window_.data(), window_.data() + start_, have);
        start_ = 0;
        end_ = have;
        if (n > window_.size()) window_.resize(n); // one record longer than the window
        while (end_ < n) {
            size_t room = window_.size() - end_;
            uint64_t left = file_.bytesLeft();
            size_t take = left < room ? size_t(left) : room;
            if (take == 0) file_.failPastEnd();
            file_.readBytes(window_.data() + end_, take);
            end_ += take;
        }
        return window_.data() + start_;
    }
    uint8_t byteAt(size_t& offset) {
        uint8_t b = need(offset + 1)[offset];
        offset += 1;
        return b;
    }
    uint32_t u16At(size_t& offset) {
        const uint8_t* p = need(offset + 2) + offset;
        offset += 2;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8;
    }
    uint32_t u32At(size_t& offset) {
        uint32_t v = getU32(need(offset + 4) + offset);
        offset += 4;
        return v;
    }
    // A counted-string length in any of its forms (the UTF-16 marker only as the first prefix).
    uint32_t length(size_t& offset, bool allowWide, bool& wide) {
        uint8_t b = byteAt(offset);
        if (b < 0xFF) return b;
        uint32_t w = u16At(offset);
        if (w == 0xFFFE && allowWide) {
            wide = true;
            return length(offset, false, wide);
        }
        if (w < 0xFFFF) return w;
        return u32At(offset);
    }
    // One counted string at offset, checked against what the window and the file still hold.
    Text text(size_t& offset, std::string& converted) {
        bool wide = false;
        uint64_t count = length(offset, true, wide);
        uint64_t bytes = wide ? count * 2 : count;
        if (bytes > (end_ - start_ - offset) + file_.bytesLeft()) file_.failPastEnd();
        need(offset + size_t(bytes));
        Text t{offset, size_t(count), wide};
        if (wide) {
            std::u16string units(size_t(count), u'\0');
            std::memcpy(units.data(), window_.data() + start_ + offset, size_t(bytes));
            converted = ansiFromUtf16(units.data(), units.size());
        }
        offset += size_t(bytes);
        return t;
    }

    FileArchive& file_;
    std::vector<uint8_t> window_;
    size_t start_ = 0; // the record being read
    size_t end_ = 0;   // bytes read into the window
    std::string wideName_, wideFolder_;
};

} // namespace

bool saveResultFile(ResultView& view, const std::string& path, HWND owner) {
    try {
        FileArchive file = FileArchive::createForWriting(path);
        file.writeU32(kResultFileHeader);
        int32_t n = view.itemCount();
        file.writeI32(n);
        // Rows below the count always have an item while the results are not cleared, which only
        // this thread does; an empty record keeps the count true regardless.
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
            uint64_t fit = file.bytesLeft() / kSmallestRecordBytes;
            uint64_t wanted = std::min<uint64_t>(uint64_t(n), fit) + uint64_t(store.count());
            store.reserve(int32_t(std::min<uint64_t>(wanted, INT32_MAX)));
            RecordReader reader(file);
            for (int32_t i = 0; i < n; ++i) {
                store.append(reader.next());
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
    } catch (const std::bad_alloc&) {
        // More records than memory: what was read stays, the rest is reported like a bad file.
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
    history.pushIdentityLevel();
    return loaded;
}
