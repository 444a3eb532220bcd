// The transitions of a search's completion.
#include "ui/SearchCompletion.h"

#include <algorithm>

namespace {

using State = SearchCompletion::State;

// The check that a new notice asks for, given the one already waiting: a finish outweighs an
// end, which outweighs a begin (the states are declared in that order).
State waiting(State now, State asked) {
    if (now == State::Running) return asked;
    return std::max(now, asked);
}

} // namespace

SearchCompletion::Action SearchCompletion::on(Event event) {
    switch (event) {
    case Event::Started: state_ = State::Running; return Action::CancelCheck;
    case Event::Completed: state_ = State::Idle; return Action::None;
    case Event::Tick:
        if (++ticks_ < kTicksPerPoll) return Action::None;
        ticks_ = 0;
        return Action::PollEngine;
    default: break;
    }
    // After completion a late notice (a thread's, or the tick's repeat) has nothing to count.
    if (state_ == State::Idle) return event == Event::CheckDue ? Action::CancelCheck : Action::None;
    switch (event) {
    case Event::ThreadBegan: state_ = waiting(state_, State::CheckCount); return Action::DeferCheck;
    case Event::ThreadEnded: state_ = waiting(state_, State::CheckEnd); return Action::DeferCheck;
    case Event::Finished: state_ = waiting(state_, State::CheckFinish); return Action::DeferCheck;
    case Event::CheckDue: {
        State checked = state_;
        state_ = State::Running; // the notices are used up; Completed ends the search
        if (checked == State::CheckFinish) return Action::Complete;
        if (checked == State::CheckEnd) return Action::CompleteWhenNoThreads;
        return Action::ShowThreadCount;
    }
    default: return Action::None;
    }
}
