// The levels of the result history: each refinement's rows as positions into the ResultSet.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "toolkit/GrowableArray.h"
#include "toolkit/LockedArray.h"
#include "results/ResultStore.h"

// How a view was last sorted. Each view keeps its own (every level, and the whole store while no
// level exists), so a header click only reverses a view that really is in that column's order.
struct SortState {
    int32_t column = -1;               // ResultColumn of the last sort, -1 for none
    bool descending = false;           // direction of the last real sort
    bool sortedWhileSearching = false; // entries may have arrived after that sort
};

// One result: row r shows the store item at entries[r]. Entries are appended under viewLock and
// levelsLock together, so a reader holding levelsLock never sees the storage move; a sort on the
// interface thread permutes them under viewLock.
class ResultLevel {
public:
    static constexpr int32_t kGrowthStep = 16383;

    explicit ResultLevel(int32_t growthStep = kGrowthStep) : entries(growthStep) {}

    GrowableArray<int32_t> entries;
    SortState sort;
};

// Levels 1..N over one ResultSet, with the current level (0 while no level exists: the view is
// then the whole store). Owns its levels.
//
// Locks: levelsLock guards the level array, levelCount, currentLevel and the entries of every
// level; viewLock serialises a refinement's changes against sorting. Order: viewLock, then
// levelsLock or storeLock; never the reverse. No lock is held while a message goes to the list.
//
// The history is the RowSource of the result list: the list follows the rows of the current view
// (the store at level 0, the level a refinement fills), except while the rows are held.
class ResultHistory : public RowSource {
public:
    explicit ResultHistory(ResultSet& store);
    ~ResultHistory();
    ResultHistory(const ResultHistory&) = delete;
    ResultHistory& operator=(const ResultHistory&) = delete;

    // The list that shows the current view (may be null); navigation resets its row count.
    void attachList(HWND list) { list_ = list; }
    HWND list() const { return list_; }

    ReentrantLock& levelsLock() { return levels_.lock(); }
    ReentrantLock& viewLock() { return viewLock_; }

    int32_t currentLevel();
    int32_t levelCount();

    // Level 1 listing every store position in store order, made current; nothing when a level
    // exists already. It takes over the sort state of the store view (the store's order is the
    // level's order). Interface thread, no search running.
    void pushIdentityLevel();
    // Deletes every level above the current one; levelCount becomes currentLevel.
    void truncateAfterCurrent();
    // Deletes every level, sets levelCount = currentLevel = 0, empties the store and resets the
    // store view's sort state. Does not touch the list.
    void clearAll();

    // Navigation. With queryOnly, only tells whether the move is possible; otherwise makes it and
    // updates the list (count 0, invalidate, new count, invalidate). Refused while searching.
    bool goBack(bool queryOnly, bool searchRunning);
    bool goForward(bool queryOnly, bool searchRunning);
    bool goTop(bool queryOnly, bool searchRunning);

    // --- for the refinement (any thread) ---
    // Length of level k (1-based), 0 when there is no such level.
    int32_t levelLength(int32_t level);
    // Copies entry i of level k; false when out of range.
    bool levelEntry(int32_t level, int32_t i, int32_t& position);
    // Appends an empty level (growth step 16,383) after the current one and makes it current;
    // returns its number. Takes viewLock then levelsLock. Call truncateAfterCurrent first.
    int32_t pushEmptyLevel();
    // Appends a store position to level k under viewLock and levelsLock; returns its new length
    // (0 when there is no such level). Tells no one: the list follows the current view.
    int32_t appendToLevel(int32_t level, int32_t position);

    // --- what the list follows ---
    // rowCount(), or -1 while the rows are held.
    int32_t rowsToShow() override;
    // Keeps the list at the count it shows until the view is replaced (a level is made or the
    // history cleared or navigated) or releaseRows: a refinement is about to make its level, and
    // the rows of the level it leaves must not come back meanwhile.
    void holdRows() { rowsHeld_.store(true); }
    void releaseRows() { rowsHeld_.store(false); }

    // --- for the view and the sorter ---
    // Rows of the current view and the store position of a row (-1 when the row has none). At
    // level 0 a row is a store position.
    int32_t rowCount();
    int32_t positionOfRow(int32_t row);
    // Store positions of rows first..first+count-1 into out (-1 for a row without one), under one
    // take of levelsLock.
    void positionsOfRows(int32_t first, int32_t count, int32_t* out);
    // The current level object, or null at level 0. Only while holding levelsLock (or on the
    // interface thread with no refinement running).
    ResultLevel* currentLevelObject();
    // Sort state of the current view (the store's own at level 0). Same rule as above.
    SortState& currentSortState();
    // Resets the store view's sort state (a search starts).
    void resetStoreSortState() { storeSort_ = SortState{}; }

private:
    bool navigate(int32_t target, bool queryOnly);
    // Deletes every level above the first keep (levelsLock held).
    void deleteLevelsAbove(int32_t keep);

    ResultSet& store_;
    LockedArray<ResultLevel*> levels_; // its lock is levelsLock
    ReentrantLock viewLock_;
    int32_t currentLevel_ = 0;
    std::atomic<bool> rowsHeld_{false};
    SortState storeSort_;
    HWND list_ = nullptr;
};
