// What a conversion run needs from whoever runs it: the window, the command line, or a test.
//
// The run touches its host only through these items: the Start button's caption and colour, the line
// counter, the report lines, messages (the MessageSink part; the run installs its host as the message sink
// for its length, so that the file helpers' messages reach it too), the running state and one "handle
// pending events" call per line, which is where an abort takes effect. Whatever the host, the run calls them
// in the same order.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/MessageSink.h"

// Colour values of the Start button's caption.
inline constexpr int kColourBlack = 0;
inline constexpr int kColourRed = 255;

class RunHost : public MessageSink {
public:
    virtual void showStartButton(std::string_view caption, int colour) = 0;
    virtual void showLineCount(std::int64_t count) = 0;
    virtual void appendReportLine(std::string_view line) = 0;
    // Lets the host react to the user once per NC line; an abort clears `running` in here.
    virtual void handlePendingEvents() = 0;

    // Set by the run while it reads lines; cleared by the run when it ends and by the host to stop it: the
    // user's abort, or a report the host can no longer pass on.
    bool running() const { return running_; }
    void setRunning(bool running) { running_ = running; }

    // Smallest inside arc radii of the open compensated stretch, or kNoArc. They belong to the host and
    // outlive a run: a stretch only opens when its compensation number changes, so a value left from an
    // earlier run is never reported.
    static constexpr double kNoArc = 9999.0;
    double minRG02() const { return minRG02_; }
    double minRG03() const { return minRG03_; }
    void setMinRG02(double radius) { minRG02_ = radius; }
    void setMinRG03(double radius) { minRG03_ = radius; }
    void forgetArcRadii() { minRG02_ = minRG03_ = kNoArc; }

private:
    bool running_ = false;
    double minRG02_ = kNoArc;
    double minRG03_ = kNoArc;
};
