// When a running conversion lets the window handle its events and repaint its progress.
//
// A conversion hands the window its events once per NC line, but most lines take well under a microsecond:
// pumping Qt's events or repainting on every one of them would make the window several times slower than
// the command line. So the clock is looked at only once per `linesPerClockRead` lines, events are handled
// when `eventInterval` has passed (Abort still acts within a few milliseconds), and the counter and the Start
// button are repainted when `repaintInterval` has passed.
#pragma once

#include <chrono>

struct EventPacing {
    int linesPerClockRead;
    std::chrono::steady_clock::duration eventInterval;
    std::chrono::steady_clock::duration repaintInterval;
};

// Events every 10 ms, repaints at most 30 times a second.
inline constexpr EventPacing kWindowPacing{16, std::chrono::milliseconds(10),
                                           std::chrono::microseconds(33'334)};
// Events and repaints before every line, for callers that must act at an exact line.
inline constexpr EventPacing kEveryLine{1, std::chrono::steady_clock::duration::zero(),
                                        std::chrono::steady_clock::duration::zero()};

class EventPacer {
public:
    struct Due {
        bool events = false;
        bool repaint = false;
    };

    explicit EventPacer(EventPacing pacing);

    // At the start of a run: the first line is handled and shown at once.
    void restart();
    // Once per line: what is due now.
    Due next();

private:
    using Clock = std::chrono::steady_clock;

    EventPacing pacing_;
    int linesLeft_ = 0;
    Clock::time_point lastEvents_{};
    Clock::time_point lastRepaint_{};
};
