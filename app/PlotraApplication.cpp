#include "app/PlotraApplication.h"

#include <QMessageBox>
#include <exception>

#include "app/Plotra_.h"

PlotraApplication::PlotraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kAppTitle));
    // Lets the desktop match the window to its menu entry and icon.
    setDesktopFileName(QStringLiteral("plotra"));
}

bool PlotraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(error.what());
    } catch (...) {
        showError("unknown error");
    }
    // Closing the windows also stops a conversion that is still running, removing its partial output.
    closeAllWindows();
    quit();
    return false;
}

void PlotraApplication::showError(const char* what) {
    QMessageBox::critical(nullptr, QString::fromUtf8(kAppTitle), QString::fromLocal8Bit(what));
}
