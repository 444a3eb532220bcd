// Find in result: the rows of the current view whose item name matches a wildcard pattern.
#include "results/FindInResult.h"

#include "toolkit/NamePattern.h"
#include "results/ResultView.h"

int32_t findRows(ResultView& view, const std::string& pattern, int32_t first, int32_t last) {
    int32_t end = view.itemCount();
    if (last >= 0 && last < end) end = last;
    int32_t start = first < 0 ? 0 : first;
    if (start >= end) return -1;
    NamePattern compiled = NamePattern::compile(pattern);
    for (int32_t row = start; row < end; ++row) {
        std::optional<FoundItem> item = view.itemAt(row);
        if (item && compiled.matches(lowerAnsi(item->name))) return row;
    }
    return -1;
}

int32_t findTypedPrefix(ResultView& view, const std::string& typed, int32_t start) {
    std::string pattern = typed + "*";
    int32_t row = findRows(view, pattern, start, -1);
    if (row == -1) row = findRows(view, pattern, 0, start);
    return row;
}
