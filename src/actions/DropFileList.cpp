// Building the DROPFILES file list and the drop-effect block.
#include "actions/DropFileList.h"

#include <shlobj.h>

#include <cstring>

using toolkit::GlobalBlock;

GlobalBlock makeDropFileList(const std::vector<std::string>& paths) {
    size_t total = 0; // T: every path with its terminator
    for (const std::string& path : paths)
        total += path.size() + 1;
    GlobalBlock block = GlobalBlock::allocate(kDropFilesHeaderSize + total + 1);
    GlobalBlock::Locked bytes(block.get());
    if (!bytes) return {};
    static_assert(sizeof(DROPFILES) == kDropFilesHeaderSize);
    auto* header = reinterpret_cast<DROPFILES*>(bytes.bytes());
    header->pFiles = kDropFilesHeaderSize; // the rest of the header stays zero: ANSI, no point
    char* at = bytes.bytes() + kDropFilesHeaderSize;
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    // The final empty string is already there: the block was allocated zeroed.
    return block;
}

GlobalBlock makeDropEffectBlock(DWORD effect) {
    GlobalBlock block = GlobalBlock::allocate(sizeof(DWORD));
    GlobalBlock::Locked value(block.get());
    if (!value) return {};
    std::memcpy(value.bytes(), &effect, sizeof effect);
    return block;
}
