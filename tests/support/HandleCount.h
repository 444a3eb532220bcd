// The number of kernel handles this process holds, for tests that show nothing was left open.
#pragma once

// GetProcessHandleCount where it answers; under Wine, which answers 0 there, the entries of the
// system's handle table that belong to this process. -1 when neither can tell.
long processHandleCount();
