// RefineReads: the text test of a search in the last result, which reads each item's file as
// the refinement reaches it.
#pragma once

#include <memory>
#include <string>

#include "engine/ContentSearch.h"
#include "engine/SearchRun.h"
#include "results/FoundItem.h"
#include "toolkit/LatestText.h"

// Without a text every item is kept and nothing is read: the refinement runs to its end as it
// always did. With one, the stop flag of the run is read before every file (and between blocks),
// the folder being read is shown in the status bar's folder pane, and the run is marked as
// reading for as long as this object lives, so that a stopped search may leave the thread
// behind in a read that does not return.
class RefineReads {
public:
    enum class Answer {
        Keep, // no text, or the item's file holds it
        Drop, // a file that lacks the text or cannot be read
        Stop, // the search was stopped: the refinement ends here
    };

    RefineReads(SearchRun& run, toolkit::LatestText& folderPane);
    RefineReads(const RefineReads&) = delete;
    RefineReads& operator=(const RefineReads&) = delete;

    // For an item that passed the other tests (folders never do when there is a text).
    Answer test(const FoundItem& item);
    // True when a refinement that reads was stopped (never without a text).
    bool stopped() const;

private:
    SearchRun& run_;
    toolkit::LatestText& folderPane_;
    std::unique_ptr<ContentReader> reader_;
    std::string shownFolder_;
};
