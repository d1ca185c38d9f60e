// The main window: the file names, Start and Abort, the line counter and the tool report. It is the host of
// the conversion runs it starts and the program's message sink; the conversion itself lives in conversion/.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/EventPacer.h"
#include "conversion/ConversionRun.h"
#include "conversion/RunHost.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

inline constexpr char kAppTitle[] = "ＮＣ→ＤＸＦ変換";
inline constexpr char kNcFilter[] =
    "ＮＣデータ|*.NC;*.NT;*.N;*.F74;*.70V;*.65V;*.M44;*.44W;*.M30;*.4D2;*.V33;*.NCD;*.NTD|ALL|*.*";
inline constexpr char kDxfFilter[] = "DXFデータ|*.dxf|ALL|*.*";
inline constexpr std::string_view kAbortMessage = "強制終了します。";

class TForm1 : public QMainWindow, public RunHost {
    Q_OBJECT

public:
    // `arguments` are the command-line arguments after the program's name; the first one names the NC file.
    explicit TForm1(const std::vector<std::string>& arguments, EventPacing pacing = kWindowPacing);
    ~TForm1() override;

    // The modal parts of the window, replaceable so that tests can answer in the user's place.
    // A message box under `caption` with an OK button.
    std::function<void(const QString& caption, const QString& text)> presentMessage;
    // An open-file dialog with a filter of the kind kNcFilter is; an empty result is Cancel.
    std::function<QString(const QString& filter)> chooseOpenFile;
    // The confirmation of one file of a drop of several; true converts it.
    std::function<bool(const QString& path)> confirmConversion;

    void showMessage(std::string_view caption, std::string_view text) override;
    void showStartButton(std::string_view caption, int colour) override;
    void showLineCount(std::int64_t count) override;
    void appendReportLine(std::string_view line) override;
    void handlePendingEvents() override;

    void NcFileBtnClick();
    void DxfFileBtnClick();
    void NcFileNameEditChange();
    void DxfFileNameEditChange();
    void StartClick();
    void AboatClick();
    void SpeedButton1Click();
    void N1Click();
    // The files of one drop, in the order the desktop gave them.
    void WMDropFiles(const std::vector<std::string>& paths);

    QFrame* Panel1;
    QLabel* NcFileNameLabel;
    QLineEdit* NcFileNameEdit;
    QPushButton* NcFileBtn;
    QLabel* DxfFileName;
    QLineEdit* DxfFileNameEdit;
    QPushButton* DxfFileBtn;
    QLabel* Hedder;
    QLineEdit* HedderEdit;
    QLabel* Footer;
    QLineEdit* FooterEdit;
    QPushButton* SpeedButton1;
    QPushButton* Start;
    QLabel* Label1;
    QLineEdit* edNum;
    QPushButton* Aboat;
    QPushButton* End;
    QFrame* Panel2;
    QPlainTextEdit* Memo1;
    QMenu* File1;
    QAction* Open1;
    QAction* Exit1;
    QAction* N1;

    std::string exeDir;
    std::string hedderFile;
    std::string footerFile;
    std::string ncFile;
    std::string dxfFile;
    bool multiDrop = false;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanel1();
    void buildPanel2();
    void buildMenu();
    void connectHandlers();
    void init(const std::vector<std::string>& arguments);

    bool busy() const { return converting_ || multiDrop; }
    void showNames(const std::string& ncPath);
    RunOutcome convert();
    void resetReport();
    void showRunProgress();

    EventPacer pacer_;
    bool converting_ = false;
    bool closing_ = false;

    // The run reports every line; the widgets follow at the pacer's rate.
    std::string startCaption_;
    int startColour_ = kColourBlack;
    std::int64_t lineCount_ = -1;
    std::string shownCaption_;
    int shownColour_ = kColourBlack;
    std::int64_t shownCount_ = -1;
};
