// Test helpers for the network walk and the search engine.
#include "support/NetworkTestSupport.h"

#include <winnetwk.h>

namespace netsupport {
bool noNetworkHere() {
    HANDLE handle = nullptr;
    DWORD result = WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, nullptr, &handle);
    if (result == NO_ERROR) WNetCloseEnum(handle);
    return result == ERROR_NO_NETWORK;
}
} // namespace netsupport
