// The end of a search as the main dialog sees it, event by event.
#include <gtest/gtest.h>

#include "ui/SearchCompletion.h"

using Event = SearchCompletion::Event;
using Action = SearchCompletion::Action;

TEST(SearchCompletion, NoticesWaitForTheCheckAndOnlyAnEndOrFinishCompletes) {
    SearchCompletion c;
    // Before any search a late notice or check does nothing but stop the check.
    EXPECT_EQ(Action::None, c.on(Event::ThreadEnded));
    EXPECT_EQ(Action::CancelCheck, c.on(Event::CheckDue));
    EXPECT_FALSE(c.pending());

    EXPECT_EQ(Action::CancelCheck, c.on(Event::Started));
    EXPECT_TRUE(c.pending());
    // A thread begins: after the pause the threads are counted, nothing completes.
    EXPECT_EQ(Action::DeferCheck, c.on(Event::ThreadBegan));
    EXPECT_EQ(Action::ShowThreadCount, c.on(Event::CheckDue));
    // An end outweighs a begin that arrives before the check.
    c.on(Event::ThreadEnded);
    c.on(Event::ThreadBegan);
    EXPECT_EQ(Action::CompleteWhenNoThreads, c.on(Event::CheckDue));
    // The notices are used up: a check without a new one only counts.
    EXPECT_EQ(Action::ShowThreadCount, c.on(Event::CheckDue));
    // A finish outweighs an end; the session stays pending until the engine has finished.
    c.on(Event::Finished);
    c.on(Event::ThreadEnded);
    EXPECT_EQ(Action::Complete, c.on(Event::CheckDue));
    EXPECT_TRUE(c.pending());
    c.on(Event::Completed);
    EXPECT_FALSE(c.pending());
    EXPECT_EQ(Action::None, c.on(Event::Finished));

    // A new search forgets a notice that waited for the last one's check.
    c.on(Event::Started);
    c.on(Event::Finished);
    c.on(Event::Started);
    EXPECT_EQ(Action::ShowThreadCount, c.on(Event::CheckDue));
}

TEST(SearchCompletion, EveryEighthTickPollsTheEngineAcrossSearches) {
    SearchCompletion c;
    c.on(Event::Started);
    int polls = 0;
    for (int i = 0; i < 13; ++i)
        polls += c.on(Event::Tick) == Action::PollEngine;
    EXPECT_EQ(1, polls);
    c.on(Event::Completed);
    c.on(Event::Started);
    for (int i = 0; i < 3; ++i)
        polls += c.on(Event::Tick) == Action::PollEngine;
    EXPECT_EQ(2, polls) << "the rhythm goes on from the last search";
}
