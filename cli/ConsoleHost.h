// The command line as the host of conversion runs: report lines to stdout, messages to stderr, and on a
// terminal a progress line on stderr. Ctrl-C, SIGTERM and SIGHUP stop the run as the window's Abort does. A
// report or a message that cannot be written (a closed pipe, a full disk) stops the run as a failure.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "conversion/RunHost.h"

class ConsoleHost : public RunHost {
public:
    ConsoleHost(bool showProgress, bool quiet);

    // The file whose progress is shown.
    void beginFile(const std::string& ncFile);
    void endFile();
    // True once a report line or a message could not be written; every later run stops at once.
    bool outputFailed() const { return outputFailed_; }
    // Writes out the report lines still held; false, after a message, when they cannot be written.
    bool flushReport();

    void showMessage(std::string_view caption, std::string_view text) override;
    void showStartButton(std::string_view caption, int colour) override;
    void showLineCount(std::int64_t count) override;
    void appendReportLine(std::string_view line) override;
    void handlePendingEvents() override;

    // Installs the SIGINT/SIGTERM/SIGHUP handlers that handlePendingEvents looks at. SIGPIPE and SIGXFSZ are
    // ignored, so that a closed pipe or a file-size limit is a failed write with a message, not a sudden end
    // that leaves the run's temporary file behind.
    static void catchInterrupts();
    static bool interrupted();

private:
    void drawProgress(std::int64_t count);
    void clearProgress();
    void failOutput(const char* stream, int error);

    bool showProgress_;
    bool quiet_;
    bool progressShown_ = false;
    bool outputFailed_ = false;
    std::string ncFile_;
    std::chrono::steady_clock::time_point lastDraw_{};
};
