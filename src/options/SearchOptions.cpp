// The defaults of SearchOptions.
#include "options/SearchOptions.h"

#include "toolkit/FileTime.h"

int32_t defaultFromDate(int32_t now) {
    SYSTEMTIME local;
    if (!utcFileTimeToLocalFields(time32ToFileTimeU64(now), local)) return now;
    SYSTEMTIME midnight;
    if (!normaliseDate(local.wYear, int64_t(local.wMonth) - 1, local.wDay, midnight)) return now;
    uint64_t utc = 0;
    if (!localFieldsToUtcFileTime(midnight, utc)) return now;
    return fileTimeU64ToTime32(utc);
}

void resetOptions(SearchOptions& options, int32_t now) {
    options = SearchOptions{};
    options.fromDate = defaultFromDate(now);
    options.toDate = now;
}

void resetOptions(SearchOptions& options) {
    resetOptions(options, fileTimeU64ToTime32(currentFileTimeU64()));
}
