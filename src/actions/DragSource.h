// Dragging a file list out of a window: a data object that offers only CF_HDROP, a drop source
// that drops on the release of the button that started the drag, and the start of the drag.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "toolkit/GlobalBlock.h"

// A data object offering exactly one format: CF_HDROP in global memory, content aspect, index
// -1. It owns fileList from the call on (also when it fails: the block is then freed) and frees
// it when its last reference goes; readers get copies of the block. Null when out of memory.
IDataObject* createFileListDataObject(toolkit::GlobalBlock fileList);

// Waits, with the mouse captured by window, for the drag to begin: true once the pointer leaves
// a small rectangle around where it was (the platform's drag distance) or the platform's drag
// delay has passed; false when a mouse button changes or Esc is pressed first.
bool waitForDragStart(HWND window);

// Drags fileList (taken over as by createFileListDataObject) from window: waits for the start,
// then runs the platform's drag-and-drop loop allowing only the copy effect. Returns the effect
// of the drop (DROPEFFECT_NONE when cancelled or refused). OLE must be initialised.
DWORD dragFileList(HWND window, toolkit::GlobalBlock fileList);
