// The main window: the file names, Start and Abort, the line counter, the tool report and beside it the
// preview of the drawing. It is the host of
// the conversion runs it starts and the program's message sink; the conversion itself lives in conversion/.
//
// How a run and the user's events interleave. Everything happens on the one thread of the event loop. A run
// is a call of RunConversion from StartClick, or from WMDropFiles once per confirmed file; until it returns,
// the window is Converting (WindowState). It hands the event loop a turn once per NC line
// (handlePendingEvents, at the EventPacer's rate) and each message box it shows runs a loop of its own, so
// the user's events are handled on top of the run's stack:
// - Abort, by its button or Escape and offered only while the run reads lines, clears the running state
//   (RunHost::running(), which the run sets once its files are open and clears when it ends); the run finds
//   it cleared right after that turn and returns Aborted before its next line.
//   Abort leaves the window's state alone: the run's return ends Converting.
// - Start, the two browse buttons, File/Open and a drop are ignored (a drag is refused) in any state but
//   Idle: a second run never starts inside the first, and the names the run reads stay as they were.
// - The edits, the version and settings dialogs and the file manager stay usable; a changed name or setting
//   counts from the next run.
// - The preview takes the run's entities as they are drawn and paints them in the turns where the counter is
//   repainted; zoom, pan, the layer boxes and clicks work during the run. Abort and a failed run clear it.
// - Closing the window puts it into Closing and stops the run as Abort does; a drop of several files then
//   confirms no further file, and the window is Idle again once everything below has returned.
// A drop of several files is Dropping while it asks for confirmations and Converting during each run; one
// dropped file fills in the names and is previewed.
//
// Choosing a program (browse, File/Open, Enter in the NC name, one dropped file, the command line) starts a
// preview run: the same run without a DXF file, Previewing while it draws. Abort and closing stop it quietly,
// its drawing kept. Start, another program or a drop while it draws stop it, and what they ask for is done
// once it has returned, so that runs still never nest.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/EventPacer.h"
#include "app/WindowSettings.h"
#include "app/WindowState.h"
#include "conversion/ConversionRun.h"
#include "conversion/RunHost.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class PreviewPane;

inline constexpr char kAppTitle[] = "ＮＣ→ＤＸＦ変換";
// The NC extensions of the original dialog, then those that other controls and CAM programs write; the same
// ones the desktop is told to open with Plotra (packaging/plotra-mime.xml). Qt matches them in any case.
inline constexpr char kNcFilter[] =
    "ＮＣデータ|*.NC;*.NT;*.N;*.F74;*.70V;*.65V;*.M44;*.44W;*.M30;*.4D2;*.V33;*.NCD;*.NTD;*.NGC;*.TAP;*.CNC|"
    "ALL|*.*";
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
    // An open-file dialog with a filter of the kind kNcFilter is, opening in `folder` unless it is empty; an
    // empty result is Cancel.
    std::function<QString(const QString& filter, const QString& folder)> chooseOpenFile;
    // Shows `folder` in the desktop's file manager; false when there is none.
    std::function<bool(const QString& folder)> openFolder;
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
    void NcFileNameEdited();
    // Enter in the NC name: the named program is drawn.
    void NcFileNameEntered();
    void DxfFileNameEditChange();
    void StartClick();
    void AboatClick();
    void SpeedButton1Click();
    void N1Click();
    // The settings dialog; accepted settings are kept in the settings file and used from the next run.
    void Options1Click();
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
    QSplitter* ReportSplitter;
    QPlainTextEdit* Memo1;
    // The drawing of the last run beside the report, drawn while the run goes.
    PreviewPane* Preview;
    QMenu* File1;
    QAction* Open1;
    QAction* Exit1;
    QMenu* Settings1;
    QAction* Options1;
    QAction* N1;
    // Escape: the same as Abort, while a run goes.
    QAction* AbortByKey;

    std::string exeDir;
    std::string hedderFile;
    std::string footerFile;
    std::string ncFile;
    std::string dxfFile;

    WindowState state() const { return state_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanel1();
    void buildPanel2();
    void keepEditsUsable();
    void buildMenu();
    void connectHandlers();
    void orderTabStops();
    void init(const std::vector<std::string>& arguments);

    bool busy() const { return state_ != WindowState::Idle; }
    bool previewing() const { return state_ == WindowState::Previewing; }
    void afterPreview(std::function<void()> action);
    void previewProgram();
    ConversionFiles runFiles();
    // Files dragged anywhere onto the window: whether it takes them now, and taking them.
    bool takesDrop(const QMimeData& data) const;
    bool takeDrop(const QMimeData& data);
    void showNames(const std::string& ncPath);
    RunOutcome convert();
    RunOutcome runDrawing(WindowState running);
    void resetReport();
    void headReportWith(const std::string& ncPath);
    void showRunProgress();
    void showStartCaption();
    void enableAbortWhileRunning();

    EventPacer pacer_;
    WindowState state_ = WindowState::Idle;
    // Read from the settings file at start; every run takes the library folders and the block limit.
    WindowSettings settings_;
    // What the user asked for while a preview drew, done when it has stopped.
    std::function<void()> pendingAction_;

    // The run reports every line; the widgets follow at the pacer's rate.
    std::string startCaption_;
    int startColour_ = kColourBlack;
    std::int64_t lineCount_ = -1;
    std::string shownCaption_;
    int shownColour_ = kColourBlack;
    std::int64_t shownCount_ = -1;
};
