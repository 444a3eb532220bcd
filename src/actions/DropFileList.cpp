// Building the DROPFILES file list and the drop-effect block.
#include "actions/DropFileList.h"

#include <shlobj.h>

#include <cstring>

namespace {
constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;
} // namespace

HGLOBAL makeDropFileList(const std::vector<std::string>& paths) {
    size_t total = 0; // T: every path with its terminator
    for (const std::string& path : paths)
        total += path.size() + 1;
    HGLOBAL block = GlobalAlloc(kBlockFlags, kDropFilesHeaderSize + total + 1);
    if (!block) return nullptr;
    auto* bytes = static_cast<char*>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    static_assert(sizeof(DROPFILES) == kDropFilesHeaderSize);
    auto* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = kDropFilesHeaderSize; // the rest of the header stays zero: ANSI, no point
    char* at = bytes + kDropFilesHeaderSize;
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    // The final empty string is already there: the block was allocated zeroed.
    GlobalUnlock(block);
    return block;
}

HGLOBAL makeDropEffectBlock(DWORD effect) {
    HGLOBAL block = GlobalAlloc(kBlockFlags, sizeof(DWORD));
    if (!block) return nullptr;
    auto* value = static_cast<DWORD*>(GlobalLock(block));
    if (!value) {
        GlobalFree(block);
        return nullptr;
    }
    *value = effect;
    GlobalUnlock(block);
    return block;
}
