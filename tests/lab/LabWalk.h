// Walks the network the way the program does (WNetOpenEnumA, WNetEnumResourceA with the count
// returned last, WNetCloseEnum) and keeps what each level returned, batch by batch.
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <string>
#include <vector>

struct LabRecord {
    DWORD scope = 0, type = 0, displayType = 0, usage = 0;
    std::string remote, comment, provider;
    NETRESOURCEA raw() const; // for opening this record as a container (points into *this)
};

struct LabListing {
    DWORD openResult = 0;       // WNetOpenEnumA
    DWORD endResult = 0;        // the WNetEnumResourceA result that ended the level (259 normally)
    std::vector<DWORD> batches; // records per successful call
    std::vector<LabRecord> records;
    std::vector<std::string> names() const;
};

// Lists one level: below `container`, or the root when it is null.
LabListing labList(const LabRecord* container, DWORD type = RESOURCETYPE_ANY, DWORD usage = 0,
                   DWORD bufferSize = 16384);
inline LabListing labList(const LabRecord& container, DWORD type = RESOURCETYPE_ANY,
                          DWORD usage = 0, DWORD bufferSize = 16384) {
    return labList(&container, type, usage, bufferSize);
}

// The lab provider's own record at the root ("Corvask Lab Network"); false if mpr lists none.
bool labProviderRecord(LabRecord& out);

// The whole tree below the lab provider as lines "<display type> <remote name>", depth first.
std::vector<std::string> labTree();
