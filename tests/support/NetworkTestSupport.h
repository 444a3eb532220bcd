// Test helpers for the network walk and the search engine: a probe for a machine without any
// network provider (and the message-box recorder the network tests use).
#pragma once

#include <windows.h>

#include "support/BoxRecorder.h"

namespace netsupport {
// True when the network provider router answers 1222 (no network) for the root.
bool noNetworkHere();
} // namespace netsupport
