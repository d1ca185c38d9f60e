// How much the window costs a conversion: the same NC program converted by plotra-convert and by a click on
// Start in the window (Qt's offscreen platform), best of three each, and how long an Abort takes to stop a
// run. Then opening the program: from the moment it is chosen to the first picture of its path, and to the
// complete preview.
//
// Usage: window_bench [NC-FILE]
// Without a file, a surfacing program of 1,000,000 lines is written to a temporary folder. The exit status is
// 1 when the window takes more than 1.3 times as long as plotra-convert, Abort more than 0.1 s, the first
// picture more than 0.5 s or the complete preview more than 1.5 times plotra-convert's time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/PreviewCanvas.h"
#include "app/PreviewPane.h"
#include "app/Plotra_.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRepeats = 3;
constexpr double kAllowedRatio = 1.3;
constexpr auto kAbortAfter = std::chrono::milliseconds(300);
constexpr auto kAllowedAbortDelay = std::chrono::milliseconds(100);
constexpr auto kAllowedFirstPicture = std::chrono::milliseconds(500);
constexpr double kAllowedOpeningRatio = 1.5;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Number text that no locale changes: Qt's application object has adopted the environment's.
void AppendFixed(std::string& out, double value, int decimals = 3) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ptr);
}

std::string Fixed(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

// A finishing program as CAM systems write them: the tool zigzags over a wavy surface, one move per line.
std::string WriteSurfacing(const fs::path& path, int lines) {
    std::ofstream out(path, std::ios::binary);
    out << "%\nO4000 (SURFACING)\n(T6 DIA6. BALL END MILL)\nT6 M06\nG90 G17 G00 X0 Y0 Z10.\nG01 Z-2. F600\n";
    constexpr int kSteps = 500;
    std::string line;
    for (int written = 6, row = 0; written < lines - 2; ++row) {
        const double y = row * 0.25;
        for (int i = 0; i < kSteps && written < lines - 2; ++i, ++written) {
            const double x = (row % 2 == 0 ? i : kSteps - 1 - i) * 0.2;
            line.clear();
            line += 'X';
            AppendFixed(line, x);
            line += "Y";
            AppendFixed(line, y);
            line += "Z";
            AppendFixed(line, -2.0 + std::sin(x * 0.05) * std::cos(y * 0.07));
            line += "F1200\n";
            out << line;
        }
    }
    out << "G00 Z50.\nM30\n";
    return path.string();
}

int CountLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<int>(
        std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

Clock::duration RunConverter(const std::string& nc, const std::string& dxf) {
    std::vector<std::string> arguments = {CONVERT_COMMAND, "-q", "-o", dxf, nc};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        waitpid(child, &status, 0);
    }
    const Clock::time_point end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        std::fprintf(stderr, "window_bench: plotra-convert failed\n");
        std::exit(2);
    }
    return end - start;
}

// A window as the user sees it, with its messages noted instead of shown in boxes.
struct BenchWindow {
    BenchWindow(const std::string& nc, const std::string& dxf) : form({}) {
        form.presentMessage = [this](const QString&, const QString& text) { messages << text; };
        form.NcFileNameEdit->setText(QString::fromLocal8Bit(nc.c_str()));
        form.DxfFileNameEdit->setText(QString::fromLocal8Bit(dxf.c_str()));
        form.show();
        QCoreApplication::processEvents();
    }

    TForm1 form;
    QStringList messages;
};

Clock::duration RunWindow(const std::string& nc, const std::string& dxf) {
    BenchWindow window(nc, dxf);
    const Clock::time_point start = Clock::now();
    window.form.Start->click();
    const Clock::time_point end = Clock::now();
    // Either completion message: a program of the user's may leave something undrawn.
    if (window.messages.size() != 1 ||
        !window.messages.front().startsWith(QStringLiteral("正常に終了しました。"))) {
        std::fprintf(stderr, "window_bench: the window's run did not complete\n");
        std::exit(2);
    }
    return end - start;
}

// From the moment Abort is pressed (a click waiting for the window's attention) to the end of the run.
Clock::duration AbortDelay(const std::string& nc, const std::string& dxf) {
    BenchWindow window(nc, dxf);
    QTimer::singleShot(kAbortAfter, &window.form, [&window] { window.form.Aboat->click(); });
    const Clock::time_point start = Clock::now();
    window.form.Start->click();
    const Clock::time_point end = Clock::now();
    if (window.messages != QStringList{QStringLiteral("強制終了します。")}) {
        std::fprintf(stderr, "window_bench: the run ended before Abort was pressed\n");
        std::exit(2);
    }
    return end - start - kAbortAfter;
}

// Notes the first time the canvas is painted with part of the path on it.
class FirstPicture : public QObject {
public:
    explicit FirstPicture(PreviewPane& preview) : preview_(preview) { preview.canvas->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted && preview_.model().size() > 0) {
            painted = Clock::now();
        }
        return false;
    }

    std::optional<Clock::time_point> painted;

private:
    PreviewPane& preview_;
};

struct Opening {
    Clock::duration firstPicture;
    Clock::duration complete;
};

// The program chosen in the open dialog, until its preview is complete.
Opening OpenProgram(const std::string& nc) {
    BenchWindow window("", "");
    window.form.chooseOpenFile = [&nc](const QString&, const QString&) { return QString::fromLocal8Bit(nc.c_str()); };
    const FirstPicture first(*window.form.Preview);
    const Clock::time_point start = Clock::now();
    window.form.NcFileBtn->click();
    const Clock::time_point end = Clock::now();
    if (!window.messages.isEmpty() || !window.form.Preview->model().completed() || !first.painted) {
        std::fprintf(stderr, "window_bench: the program's preview did not complete\n");
        std::exit(2);
    }
    return {*first.painted - start, end - start};
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    char folderTemplate[] = "/tmp/plotra-window-bench-XXXXXX";
    const fs::path folder = mkdtemp(folderTemplate);
    const std::string nc = argc > 1 ? argv[1] : WriteSurfacing(folder / "SURFACE.NC", 1'000'000);

    Clock::duration converter = Clock::duration::max();
    Clock::duration window = Clock::duration::max();
    for (int i = 0; i < kRepeats; ++i) {
        converter = std::min(converter, RunConverter(nc, (folder / "convert.dxf").string()));
        window = std::min(window, RunWindow(nc, (folder / "window.dxf").string()));
    }
    const Clock::duration abortDelay = AbortDelay(nc, (folder / "abort.dxf").string());
    Opening opening{Clock::duration::max(), Clock::duration::max()};
    for (int i = 0; i < kRepeats; ++i) {
        const Opening next = OpenProgram(nc);
        opening = {std::min(opening.firstPicture, next.firstPicture), std::min(opening.complete, next.complete)};
    }
    const int lines = CountLines(nc);
    fs::remove_all(folder);

    const double ratio = Seconds(window) / Seconds(converter);
    std::printf("NC lines:        %s\n", std::to_string(lines).c_str());
    std::printf("plotra-convert:  %s s\n", Fixed(Seconds(converter), 3).c_str());
    std::printf("window:          %s s (%s times, at most %s allowed)\n", Fixed(Seconds(window), 3).c_str(),
                Fixed(ratio, 2).c_str(), Fixed(kAllowedRatio, 2).c_str());
    std::printf("Abort took:      %s ms (at most %s ms allowed)\n",
                Fixed(Seconds(abortDelay) * 1000, 1).c_str(),
                Fixed(Seconds(kAllowedAbortDelay) * 1000, 0).c_str());
    const double openingRatio = Seconds(opening.complete) / Seconds(converter);
    std::printf("first picture:   %s ms after choosing the program (at most %s ms allowed)\n",
                Fixed(Seconds(opening.firstPicture) * 1000, 1).c_str(),
                Fixed(Seconds(kAllowedFirstPicture) * 1000, 0).c_str());
    std::printf("preview:         %s s (%s times, at most %s allowed)\n", Fixed(Seconds(opening.complete), 3).c_str(),
                Fixed(openingRatio, 2).c_str(), Fixed(kAllowedOpeningRatio, 2).c_str());
    const bool openingFast = opening.firstPicture <= kAllowedFirstPicture && openingRatio <= kAllowedOpeningRatio;
    return ratio <= kAllowedRatio && abortDelay <= kAllowedAbortDelay && openingFast ? 0 : 1;
}
