#include "app/EventPacer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using std::chrono::hours;

TEST(EventPacer, EveryLinePacingHandsOutEverything) {
    EventPacer pacer(kEveryLine);
    for (int line = 0; line < 5; ++line) {
        const EventPacer::Due due = pacer.next();
        EXPECT_TRUE(due.events);
        EXPECT_TRUE(due.repaint);
    }
}

TEST(EventPacer, FirstLineOfARunIsHandledAndShownAtOnce) {
    EventPacer pacer({16, hours(1), hours(1)});
    const EventPacer::Due first = pacer.next();
    EXPECT_TRUE(first.events);
    EXPECT_TRUE(first.repaint);
    for (int line = 0; line < 100; ++line) {
        const EventPacer::Due later = pacer.next();
        EXPECT_FALSE(later.events);
        EXPECT_FALSE(later.repaint);
    }
    pacer.restart();
    EXPECT_TRUE(pacer.next().repaint);
}

TEST(EventPacer, ClockIsReadOncePerGroupOfLines) {
    EventPacer pacer({3, std::chrono::steady_clock::duration::zero(), hours(1)});
    std::vector<bool> events;
    std::vector<bool> repaints;
    for (int line = 0; line < 7; ++line) {
        const EventPacer::Due due = pacer.next();
        events.push_back(due.events);
        repaints.push_back(due.repaint);
    }
    EXPECT_EQ(events, (std::vector<bool>{true, false, false, true, false, false, true}));
    EXPECT_EQ(repaints, (std::vector<bool>{true, false, false, false, false, false, false}));
}

TEST(EventPacer, WindowPacingRepaintsAtMostThirtyTimesASecond) {
    EXPECT_GE(kWindowPacing.repaintInterval * 30, std::chrono::seconds(1));
    EXPECT_LE(kWindowPacing.eventInterval, std::chrono::milliseconds(100));
}

}  // namespace
