#include "cli/ConsoleHost.h"

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "conversion/ConversionRun.h"
#include "dxf/DxfOutput.h"

namespace {

volatile std::sig_atomic_t interruptSeen = 0;

extern "C" void OnInterrupt(int) {
    interruptSeen = 1;
}

constexpr auto kProgressInterval = std::chrono::milliseconds(100);
// Looking at the clock on every line would cost more than the line itself on simple programs.
constexpr std::int64_t kLinesBetweenClockReads = 256;

bool WriteLine(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fputc('\n', stream) != EOF;
}

}  // namespace

ConsoleHost::ConsoleHost(bool showProgress, bool quiet) : showProgress_(showProgress), quiet_(quiet) {}

void ConsoleHost::catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool ConsoleHost::interrupted() {
    return interruptSeen != 0;
}

void ConsoleHost::beginFile(const std::string& ncFile) {
    ncFile_ = ncFile;
    lastDraw_ = {};
}

bool ConsoleHost::flushReport() {
    if (std::fflush(stdout) != 0) {
        failOutput("standard output", errno);
    }
    return !outputFailed_;
}

void ConsoleHost::endFile() {
    clearProgress();
}

void ConsoleHost::showMessage(std::string_view caption, std::string_view text) {
    if (quiet_ && (text == kCompletedMessage || text == kCompletedWithOmissionsMessage)) {
        return;
    }
    clearProgress();
    flushReport();
    std::string line = "plotra-convert: ";
    if (caption != kMessageCaption) {
        line.append(caption).append(": ");
    }
    line.append(text);
    if (!WriteLine(stderr, line)) {
        outputFailed_ = true;
        setRunning(false);
    }
}

// The command line has no Start button; the progress line stands for it.
void ConsoleHost::showStartButton(std::string_view, int) {}

void ConsoleHost::showLineCount(std::int64_t count) {
    if (!showProgress_ || (count % kLinesBetweenClockReads != 1)) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ >= kProgressInterval) {
        lastDraw_ = now;
        drawProgress(count);
    }
}

// Each report line is handed on at once, so that a reader who went away is noticed while the run can still
// fail; report lines are few, one per tool or compensation change.
void ConsoleHost::appendReportLine(std::string_view line) {
    clearProgress();
    if (!WriteLine(stdout, line) || std::fflush(stdout) != 0 || outputFailed_) {
        failOutput("standard output", errno);
    }
}

void ConsoleHost::handlePendingEvents() {
    if (interruptSeen == 0 || !running()) {
        return;
    }
    // The same as the window's Abort: stop after this line; the run drops its drawing.
    setRunning(false);
    clearProgress();
    showMessage(kMessageCaption, "強制終了します。");
}

void ConsoleHost::drawProgress(std::int64_t count) {
    std::fflush(stdout);
    std::fprintf(stderr, "\r%s: 処理行数 %lld", ncFile_.c_str(), static_cast<long long>(count));
    std::fflush(stderr);
    progressShown_ = true;
}

// Messages still go to standard error while it works; the run stops either way.
void ConsoleHost::failOutput(const char* stream, int error) {
    setRunning(false);
    if (outputFailed_) {
        return;
    }
    outputFailed_ = true;
    ShowWriteFailure(stream, error);
}

void ConsoleHost::clearProgress() {
    if (progressShown_) {
        std::fputs("\r\033[K", stderr);
        progressShown_ = false;
    }
}
