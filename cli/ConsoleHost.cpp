#include "cli/ConsoleHost.h"

#include <csignal>
#include <cstdio>

#include "conversion/ConversionRun.h"
#include "core/File.h"

namespace {

volatile std::sig_atomic_t interruptSeen = 0;

extern "C" void OnInterrupt(int) {
    interruptSeen = 1;
}

constexpr auto kProgressInterval = std::chrono::milliseconds(100);
// Looking at the clock on every line would cost more than the line itself on simple programs.
constexpr std::int64_t kLinesBetweenClockReads = 256;

void WriteLine(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
}

}  // namespace

ConsoleHost::ConsoleHost(bool showProgress, bool quiet) : showProgress_(showProgress), quiet_(quiet) {}

void ConsoleHost::catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool ConsoleHost::interrupted() {
    return interruptSeen != 0;
}

void ConsoleHost::beginFile(const std::string& ncFile, const std::string& dxfFile) {
    ncFile_ = ncFile;
    dxfFile_ = dxfFile;
    lastDraw_ = {};
}

void ConsoleHost::endFile() {
    clearProgress();
}

void ConsoleHost::showMessage(std::string_view caption, std::string_view text) {
    if (quiet_ && text == kCompletedMessage) {
        return;
    }
    clearProgress();
    std::fflush(stdout);
    std::string line = "plotra-convert: ";
    if (caption != kMessageCaption) {
        line.append(caption).append(": ");
    }
    line.append(text);
    WriteLine(stderr, line);
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

void ConsoleHost::appendReportLine(std::string_view line) {
    clearProgress();
    WriteLine(stdout, line);
}

void ConsoleHost::handlePendingEvents() {
    if (interruptSeen == 0 || !running()) {
        return;
    }
    // The same as the window's Abort: stop after this line and leave no partial drawing behind.
    setRunning(false);
    clearProgress();
    showMessage(kMessageCaption, "強制終了します。");
    RemoveFile(dxfFile_);
}

void ConsoleHost::drawProgress(std::int64_t count) {
    std::fflush(stdout);
    std::fprintf(stderr, "\r%s: 処理行数 %lld", ncFile_.c_str(), static_cast<long long>(count));
    std::fflush(stderr);
    progressShown_ = true;
}

void ConsoleHost::clearProgress() {
    if (progressShown_) {
        std::fputs("\r\033[K", stderr);
        progressShown_ = false;
    }
}
