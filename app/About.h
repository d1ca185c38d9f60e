// The version dialog: program name, version, change history, and a support button that opens the link kept
// in the settings file beside the program.
#pragma once

#include <QDialog>
#include <string>

#include "app/SupportLink.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // Reads (and, when it is missing, creates) the settings file `settingsPath`.
    TAboutBox(QWidget* owner, const std::string& settingsPath);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* NoticeLabel;
    QPushButton* BitBtn1;
    QPlainTextEdit* Memo1;
    QPushButton* OKButton;

    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SupportLink support_;
};
