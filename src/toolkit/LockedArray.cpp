// LockedArray and ReentrantLock are header-only; this unit checks that the header compiles on
// its own.
#include "toolkit/LockedArray.h"
