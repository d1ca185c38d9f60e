#include "app/PlotraApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <exception>

#include "app/Plotra_.h"

PlotraApplication::PlotraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kAppTitle));
    // Without Qt's translations installed (qt6-translations-l10n) its texts stay in English.
    if (qtTexts_.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(&qtTexts_);
    }
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
