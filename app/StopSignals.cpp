#include "app/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

#include "app/Plotra_.h"

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler can reach nothing but a plain variable: the write end of the pipe.
volatile std::sig_atomic_t stopPipe = -1;

extern "C" void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(stopPipe, &byte, 1);
}

}  // namespace

StopSignals::StopSignals(TForm1& window) : window_(window) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    stopPipe = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::take);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) {
        sigaction(signal, &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (const int signal : kStopSignals) {
        std::signal(signal, SIG_DFL);
    }
    stopPipe = -1;
    for (const int end : pipe_) {
        if (end >= 0) {
            ::close(end);
        }
    }
}

void StopSignals::take() {
    char bytes[16];
    while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    window_.setRunning(false);
    window_.close();
}
