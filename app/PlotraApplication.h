// The application object of the window program. An exception that escapes an event handler ends the program
// the way one escaping the main routine does: an error box with its text, then exit code 0. Qt's own texts
// (its dialogs' buttons, the file dialog, the edits' context menus) are in Japanese like the program's.
#pragma once

#include <QApplication>
#include <QTranslator>

class PlotraApplication : public QApplication {
    Q_OBJECT

public:
    PlotraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static void showError(const char* what);

private:
    QTranslator qtTexts_;
};
