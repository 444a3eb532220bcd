// The file-list blocks that the clipboard and drag and drop carry: the platform's DROPFILES
// header followed by ANSI paths, and the "Preferred DropEffect" value.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/GlobalBlock.h"

// Offset of the path list in a file-list block (the size of the DROPFILES header).
inline constexpr size_t kDropFilesHeaderSize = 20;

// A global block (movable, zeroed, shareable) holding the DROPFILES header (list offset 20, drop
// point 0, not in the non-client area, ANSI) and each path with its NUL in order, then one more
// NUL: 20 + T + 1 bytes, T being the sum of (length + 1). Empty when it cannot be allocated or
// locked.
toolkit::GlobalBlock makeDropFileList(const std::vector<std::string>& paths);

// A 4-byte global block (same flags) holding effect, for the "Preferred DropEffect" format.
toolkit::GlobalBlock makeDropEffectBlock(DWORD effect);
