// A plain walk through the platform's network calls, for the lab provider's tests.
#include "LabWalk.h"

#include <cstring>

NETRESOURCEA LabRecord::raw() const {
    NETRESOURCEA r{};
    r.dwScope = scope;
    r.dwType = type;
    r.dwDisplayType = displayType;
    r.dwUsage = usage;
    r.lpRemoteName = const_cast<char*>(remote.c_str());
    r.lpComment = comment.empty() ? nullptr : const_cast<char*>(comment.c_str());
    r.lpProvider = provider.empty() ? nullptr : const_cast<char*>(provider.c_str());
    return r;
}

std::vector<std::string> LabListing::names() const {
    std::vector<std::string> out;
    for (const LabRecord& r : records)
        out.push_back(r.remote);
    return out;
}

LabListing labList(const LabRecord* container, DWORD type, DWORD usage, DWORD bufferSize) {
    LabListing l;
    NETRESOURCEA raw{};
    if (container) raw = container->raw();
    HANDLE h = nullptr;
    l.openResult = WNetOpenEnumA(RESOURCE_GLOBALNET, type, usage, container ? &raw : nullptr, &h);
    if (l.openResult != NO_ERROR) return l;
    std::vector<char> buffer;
    DWORD count = 0xFFFFFFFF;
    for (;;) {
        DWORD size = bufferSize;
        buffer.assign(size, 0);
        DWORD r = WNetEnumResourceA(h, &count, buffer.data(), &size);
        if (r != NO_ERROR) {
            l.endResult = r;
            break;
        }
        l.batches.push_back(count);
        const auto* recs = reinterpret_cast<const NETRESOURCEA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            LabRecord rec;
            rec.scope = recs[i].dwScope;
            rec.type = recs[i].dwType;
            rec.displayType = recs[i].dwDisplayType;
            rec.usage = recs[i].dwUsage;
            if (recs[i].lpRemoteName) rec.remote = recs[i].lpRemoteName;
            if (recs[i].lpComment) rec.comment = recs[i].lpComment;
            if (recs[i].lpProvider) rec.provider = recs[i].lpProvider;
            l.records.push_back(rec);
        }
        if (l.batches.size() > 10000) break; // a provider that never ends
    }
    WNetCloseEnum(h);
    return l;
}

bool labProviderRecord(LabRecord& out) {
    for (const LabRecord& r : labList(nullptr).records)
        if (r.remote == "Corvask Lab Network" || r.provider == "Corvask Lab Network") {
            out = r;
            return true;
        }
    return false;
}

static void walk(const LabRecord& container, std::vector<std::string>& lines, int depth) {
    if (depth > 8) return;
    for (const LabRecord& r : labList(&container).records) {
        lines.push_back(std::to_string(r.displayType) + " " + r.remote);
        if (r.usage & RESOURCEUSAGE_CONTAINER) walk(r, lines, depth + 1);
    }
}

std::vector<std::string> labTree() {
    std::vector<std::string> lines;
    LabRecord top;
    if (labProviderRecord(top)) walk(top, lines, 0);
    return lines;
}
