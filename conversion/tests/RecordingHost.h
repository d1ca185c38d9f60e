// A run host that records every call, so tests can check what a run showed and in which order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conversion/RunHost.h"
#include "core/MessageSink.h"
#include "tests/support/RecordingSink.h"

class RecordingHost : public RunHost {
public:
    RecordingHost() { SetMessageSink(this); }
    ~RecordingHost() override { SetMessageSink(nullptr); }

    void showMessage(std::string_view caption, std::string_view text) override {
        messages.push_back({std::string(caption), std::string(text)});
    }
    void showStartButton(std::string_view caption, int colour) override {
        buttonStates.push_back(std::string(caption) + "/" + std::to_string(colour));
    }
    void showLineCount(std::int64_t count) override { lineCounts.push_back(count); }
    void appendReportLine(std::string_view line) override { reportLines.emplace_back(line); }
    void handlePendingEvents() override {
        ++eventCalls;
        if (onEvents) {
            onEvents(*this);
        }
    }

    std::vector<ShownMessage> messages;
    std::vector<std::string> buttonStates;
    std::vector<std::int64_t> lineCounts;
    std::vector<std::string> reportLines;
    int eventCalls = 0;
    // What the user does while the run hands out events, e.g. pressing Abort at a given line.
    std::function<void(RecordingHost&)> onEvents;
};
