// The result history: level creation, truncation, clearing and navigation.
#include "results/ResultHistory.h"

#include <commctrl.h>

#include <memory>

namespace {
constexpr int32_t kLevelsGrowthStep = 15;
}

ResultHistory::ResultHistory(ResultSet& store) : store_(store), levels_(kLevelsGrowthStep) {}

ResultHistory::~ResultHistory() {
    LockHolder hold(levels_.lock());
    deleteLevelsAbove(0);
}

void ResultHistory::deleteLevelsAbove(int32_t keep) {
    GrowableArray<ResultLevel*>& levels = levels_.unlocked();
    for (int32_t i = keep; i < levels.count(); ++i)
        delete levels[i];
    if (keep < levels.count()) levels.setSize(keep);
}

int32_t ResultHistory::currentLevel() {
    LockHolder hold(levels_.lock());
    return currentLevel_;
}

int32_t ResultHistory::levelCount() {
    return levels_.count();
}

void ResultHistory::pushIdentityLevel() {
    LockHolder view(viewLock_);
    if (levels_.count() != 0) return;
    // The level is made at its final size from the store's count at this moment. Owned here
    // until the history holds it, so that running out of memory part way leaks nothing.
    auto level = std::make_unique<ResultLevel>();
    {
        LockHolder storeHold(store_.storeLock());
        int32_t n = store_.count();
        if (n > 0) {
            level->entries.setSize(n);
            for (int32_t i = 0; i < n; ++i)
                level->entries[i] = i;
        }
    }
    level->sort = storeSort_;
    if (level->sort.column != -1) {
        // The store may have grown after its last sort, so it is not known to be in order.
        level->sort.sortedWhileSearching = true;
    }
    LockHolder hold(levels_.lock());
    levels_.unlocked().append(level.get());
    level.release();
    currentLevel_ = 1;
    releaseRows();
}

void ResultHistory::truncateAfterCurrent() {
    LockHolder view(viewLock_);
    LockHolder hold(levels_.lock());
    deleteLevelsAbove(currentLevel_);
}

void ResultHistory::clearAll() {
    store_.clear();
    LockHolder view(viewLock_);
    LockHolder hold(levels_.lock());
    deleteLevelsAbove(0);
    currentLevel_ = 0;
    storeSort_ = SortState{};
    releaseRows();
}

bool ResultHistory::goBack(bool queryOnly, bool searchRunning) {
    if (searchRunning) return false;
    int32_t current = currentLevel();
    if (current < 2) return false;
    return navigate(current - 1, queryOnly);
}

bool ResultHistory::goForward(bool queryOnly, bool searchRunning) {
    if (searchRunning) return false;
    int32_t current = currentLevel();
    // At level 0 there is nowhere to go, whatever the count says.
    if (current == 0 || current == levelCount()) return false;
    return navigate(current + 1, queryOnly);
}

bool ResultHistory::goTop(bool queryOnly, bool searchRunning) {
    if (searchRunning) return false;
    if (currentLevel() < 2) return false;
    return navigate(1, queryOnly);
}

bool ResultHistory::navigate(int32_t target, bool queryOnly) {
    if (queryOnly) return true;
    // The selection goes with the count reset; the new level's rows are painted afresh.
    setListRowCount(list_, 0, LVSICF_NOINVALIDATEALL);
    if (list_) InvalidateRect(list_, nullptr, TRUE);
    {
        LockHolder hold(levels_.lock());
        currentLevel_ = target;
    }
    releaseRows();
    setListRowCount(list_, rowCount(), LVSICF_NOINVALIDATEALL);
    if (list_) InvalidateRect(list_, nullptr, TRUE);
    return true;
}

int32_t ResultHistory::levelLength(int32_t level) {
    LockHolder hold(levels_.lock());
    ResultLevel** p = levels_.unlocked().at(level - 1);
    return p ? (*p)->entries.count() : 0;
}

bool ResultHistory::levelEntry(int32_t level, int32_t i, int32_t& position) {
    LockHolder hold(levels_.lock());
    ResultLevel** p = levels_.unlocked().at(level - 1);
    if (!p) return false;
    const int32_t* entry = (*p)->entries.at(i);
    if (!entry) return false;
    position = *entry;
    return true;
}

int32_t ResultHistory::pushEmptyLevel() {
    auto* level = new ResultLevel(ResultLevel::kGrowthStep);
    LockHolder view(viewLock_);
    LockHolder hold(levels_.lock());
    // Levels above the current one would otherwise sit between it and the new level.
    deleteLevelsAbove(currentLevel_);
    levels_.unlocked().append(level);
    currentLevel_ = levels_.unlocked().count();
    releaseRows();
    return currentLevel_;
}

int32_t ResultHistory::appendToLevel(int32_t level, int32_t position) {
    // Both locks: viewLock keeps the append apart from a sort, levelsLock from readers of the
    // entries, which would otherwise read storage that the append moves.
    LockHolder view(viewLock_);
    LockHolder hold(levels_.lock());
    ResultLevel** p = levels_.unlocked().at(level - 1);
    if (!p) return 0;
    (*p)->entries.append(position);
    return (*p)->entries.count();
}

int32_t ResultHistory::rowCount() {
    {
        LockHolder hold(levels_.lock());
        if (currentLevel_ != 0) {
            ResultLevel** p = levels_.unlocked().at(currentLevel_ - 1);
            return p ? (*p)->entries.count() : 0;
        }
    }
    return store_.count();
}

int32_t ResultHistory::rowsToShow() {
    return rowsHeld_.load() ? -1 : rowCount();
}

int32_t ResultHistory::positionOfRow(int32_t row) {
    if (row < 0) return -1;
    LockHolder hold(levels_.lock());
    if (currentLevel_ == 0) return row; // the caller checks it against the store
    ResultLevel** p = levels_.unlocked().at(currentLevel_ - 1);
    if (!p) return -1;
    const int32_t* entry = (*p)->entries.at(row);
    return entry ? *entry : -1;
}

void ResultHistory::positionsOfRows(int32_t first, int32_t count, int32_t* out) {
    LockHolder hold(levels_.lock());
    ResultLevel** p = currentLevel_ == 0 ? nullptr : levels_.unlocked().at(currentLevel_ - 1);
    for (int32_t i = 0; i < count; ++i) {
        int32_t row = first + i;
        if (row < 0 || (currentLevel_ != 0 && !p)) {
            out[i] = -1;
        } else if (currentLevel_ == 0) {
            out[i] = row; // the caller checks it against the store
        } else {
            const int32_t* entry = (*p)->entries.at(row);
            out[i] = entry ? *entry : -1;
        }
    }
}

ResultLevel* ResultHistory::currentLevelObject() {
    LockHolder hold(levels_.lock());
    if (currentLevel_ == 0) return nullptr;
    ResultLevel** p = levels_.unlocked().at(currentLevel_ - 1);
    return p ? *p : nullptr;
}

SortState& ResultHistory::currentSortState() {
    ResultLevel* level = currentLevelObject();
    return level ? level->sort : storeSort_;
}
