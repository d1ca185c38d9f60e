#include "app/EventPacer.h"

EventPacer::EventPacer(EventPacing pacing) : pacing_(pacing) {
    restart();
}

void EventPacer::restart() {
    linesLeft_ = 1;
    lastEvents_ = Clock::time_point::min();
    lastRepaint_ = Clock::time_point::min();
}

EventPacer::Due EventPacer::next() {
    if (--linesLeft_ > 0) {
        return {};
    }
    linesLeft_ = pacing_.linesPerClockRead;
    const Clock::time_point now = Clock::now();
    Due due;
    if (lastEvents_ == Clock::time_point::min() || now - lastEvents_ >= pacing_.eventInterval) {
        due.events = true;
        lastEvents_ = now;
    }
    if (lastRepaint_ == Clock::time_point::min() || now - lastRepaint_ >= pacing_.repaintInterval) {
        due.repaint = true;
        lastRepaint_ = now;
    }
    return due;
}
