// The command line as the host of conversion runs: report lines to stdout, messages to stderr, and on a
// terminal a progress line on stderr. Ctrl-C stops the run as the window's Abort does.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "conversion/RunHost.h"

class ConsoleHost : public RunHost {
public:
    ConsoleHost(bool showProgress, bool quiet);

    // The file whose progress is shown and which an interrupt deletes.
    void beginFile(const std::string& ncFile, const std::string& dxfFile);
    void endFile();

    void showMessage(std::string_view caption, std::string_view text) override;
    void showStartButton(std::string_view caption, int colour) override;
    void showLineCount(std::int64_t count) override;
    void appendReportLine(std::string_view line) override;
    void handlePendingEvents() override;

    // Installs the SIGINT/SIGTERM handlers that handlePendingEvents looks at.
    static void catchInterrupts();
    static bool interrupted();

private:
    void drawProgress(std::int64_t count);
    void clearProgress();

    bool showProgress_;
    bool quiet_;
    bool progressShown_ = false;
    std::string ncFile_;
    std::string dxfFile_;
    std::chrono::steady_clock::time_point lastDraw_{};
};
