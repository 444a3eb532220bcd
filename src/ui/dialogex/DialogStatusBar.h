// The dialog's status bar: the platform status bar with panes that carry command ids, updated
// against the owning dialog in idle time, whose pane texts are applied lazily.
//
// Setting a pane text costs a repaint, and the search sets pane 0 for every folder it enters,
// from worker threads through SendMessage. So a text set by SB_SETTEXT (setPaneText sends it) is
// recorded and applied when a 50 ms timer fires, and at once before the bar answers any other
// status-bar message: whoever reads a pane sees the newest text, and the last text set always
// ends up shown.
//
// A pane can also follow a toolkit::LatestText (the folder a search is in, recorded by the walker
// threads without any message): the bar shows its newest text at each tick while it follows,
// and while it follows it ticks every 250 ms: the walkers enter a new folder every millisecond
// or so, a person reads a few a second, and each text shown costs a repaint that the search's
// own threads would otherwise wait behind.
#pragma once

#include "toolkit/LatestText.h"
#include "ui/dialogex/ControlBar.h"

#include <string>
#include <vector>

namespace dialogex {

// Pane styles.
inline constexpr UINT kPaneNormal = 0x0000;
inline constexpr UINT kPaneNoBorders = 0x0100;
inline constexpr UINT kPanePopOut = 0x0200;
inline constexpr UINT kPaneStretch = 0x0800;  // takes the width the other panes leave
inline constexpr UINT kPaneDisabled = 0x4000; // its text is not shown

class DialogStatusBar : public ControlBar {
public:
    ~DialogStatusBar() override;

    // Creates the bar docked at the bottom of parent (with a size grip when parent is sizable).
    bool create(HWND parent, UINT id = kStatusBarId);
    // One pane per id; panes of id 0 carry no command and are a quarter of the screen wide,
    // the first of them stretching.
    bool setIndicators(const UINT* ids, int count);
    int paneCount() const { return static_cast<int>(panes.size()); }
    UINT paneId(int index) const;
    UINT paneStyle(int index) const;
    int paneWidth(int index) const;
    void setPaneInfo(int index, UINT id, UINT style, int width);
    void setPaneStyle(int index, UINT style);

    // Sets a pane's text (lazily applied, see above); callable from any thread.
    bool setPaneText(int index, const std::string& text);
    // The text the pane shows (pending texts applied first).
    std::string paneText(int index);
    // True while a text waits for the timer.
    bool hasPendingTexts() const;
    // Shows source's newest text in a pane at every tick and before answering any status-bar
    // message, until called with null (which drops a text not shown yet). The source must
    // outlive the following. Also reachable by toolkit::followPaneTextMessage().
    void followText(int index, toolkit::LatestText* source);

    static constexpr UINT_PTR kApplyTimer = 0x5342;
    static constexpr UINT kApplyDelayMs = 50;
    static constexpr UINT kFollowDelayMs = 250;

    bool atTop() const override { return false; }
    void layOut() override;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void updateItems(toolkit::Dialog& target, bool disableIfNoHandler) override;

private:
    struct Pane {
        UINT id = 0;
        UINT style = kPaneNormal;
        int width = 0;
        std::string text; // the text set last, shown unless the pane is disabled
        WORD drawFlags = 0;
        bool pending = false;
    };
    void applyPending();
    void applyPane(int index);
    void recalcParts();
    LRESULT recordText(WPARAM wParam, const char* text);
    void startTimer();
    // Records the followed source's newer text, if any, as its pane's text.
    void pullFollowed();

    std::vector<Pane> panes;
    bool timerRunning = false;
    UINT timerDelay = 0;
    toolkit::LatestText* followed = nullptr;
    int followedPane = 0;
    std::string pulled; // reused for each text taken from the source
};

} // namespace dialogex
