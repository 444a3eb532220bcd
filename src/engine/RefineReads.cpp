// The text test of a refinement in the last result.
#include "engine/RefineReads.h"

RefineReads::RefineReads(SearchRun& run, toolkit::LatestText& folderPane)
    : run_(run), folderPane_(folderPane) {
    if (!run.criteria.containingText) return;
    reader_ = std::make_unique<ContentReader>(*run.criteria.containingText);
    run.beginReading();
}

bool RefineReads::stopped() const {
    return reader_ && run_.stopped();
}

RefineReads::Answer RefineReads::test(const FoundItem& item) {
    if (!reader_) return Answer::Keep;
    if (run_.stopped()) return Answer::Stop;
    if (item.folder != shownFolder_) {
        shownFolder_ = item.folder;
        folderPane_.set(shownFolder_);
    }
    switch (reader_->read(item.folder, item.name, run_.stopRequested)) {
    case ContentAnswer::Holds: return Answer::Keep;
    case ContentAnswer::Stopped: return Answer::Stop;
    default: return Answer::Drop;
    }
}
