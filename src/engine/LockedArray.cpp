// LockedArray and ReentrantLock are header-only; this unit keeps the library non-empty and
// checks that the header compiles on its own.
#include "engine/LockedArray.h"
