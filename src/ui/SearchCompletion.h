// SearchCompletion: when the main dialog completes a search. The threads of a search tell the
// dialog by posted notices that they began or ended, or that the search finished; each notice is
// looked at only after a short pause (the thread-check timer), so that a thread that has just
// posted its end has time to end. The busy timer's ticks repeat the end notice every two
// seconds, against a notice posted too early or never. This object holds that whole state and
// answers each event with what the dialog is to do; the dialog keeps the windows, the timers
// and the engine.
#pragma once

#include <cstdint>

class SearchCompletion {
public:
    enum class State {
        Idle,         // no search, or its completion has run
        Running,      // a search was started; no notice waits
        CheckCount,   // a thread began: count the running threads after the pause
        CheckEnd,     // a thread ended: count them, and complete when none runs
        CheckFinish,  // the search finished: complete after the pause
    };
    enum class Event {
        Started,     // a search was started
        ThreadBegan, // a thread-state notice: a thread begins
        ThreadEnded, // a thread-state notice: a thread ends (or the tick's repeat of it)
        Finished,    // the search-finished notice
        CheckDue,    // the pause after a notice has passed (the thread-check timer)
        Tick,        // the busy timer's tick
        Completed,   // the engine has finished the search; the dialog has shown its end
    };
    enum class Action {
        None,
        CancelCheck,    // stop the thread-check timer: no notice of an earlier search counts
        DeferCheck,     // start the thread-check timer (or, without a pause, check at once)
        ShowThreadCount,       // stop the timer; show how many threads run
        CompleteWhenNoThreads, // stop the timer; show the count, complete when it is 0
        Complete,       // stop the timer; complete the search
        PollEngine,     // every eighth tick: repeat the end notice when no thread runs
    };
    static constexpr int kTicksPerPoll = 8;

    // The one transition: moves to the next state and says what the dialog does.
    Action on(Event event);

    State state() const { return state_; }
    // A search was started and its completion has not run yet.
    bool pending() const { return state_ != State::Idle; }

private:
    State state_ = State::Idle;
    int ticks_ = 0; // kept from one search to the next: the poll keeps its rhythm
};
