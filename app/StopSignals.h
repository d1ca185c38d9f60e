// Ctrl-C, SIGTERM and SIGHUP for the window program. Ending the process on the spot would leave a running
// conversion's temporary file behind; instead the signal reaches the event loop and closes the window as its
// close box does, but without Abort's message box: the run in progress drops its drawing when it sees
// `running` cleared, and the program ends.
//
// A signal handler may do almost nothing, so it only writes a byte into a pipe; the loop watches the pipe.
#pragma once

#include <QObject>

class QSocketNotifier;
class TForm1;

class StopSignals : public QObject {
public:
    // Installs the handlers; there is one instance at a time.
    explicit StopSignals(TForm1& window);
    ~StopSignals() override;

private:
    void take();

    TForm1& window_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
