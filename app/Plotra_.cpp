#include "app/Plotra_.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "app/About.h"
#include "app/FileDropCatcher.h"
#include "app/FileManager.h"
#include "app/FolderOfName.h"
#include "app/LocalText.h"
#include "app/Look.h"
#include "app/NcListing.h"
#include "app/OKDlg.h"
#include "app/OpenFileDialog.h"
#include "app/PreviewPane.h"
#include "app/ReportLinks.h"
#include "app/SettingsDialog.h"
#include "conversion/DxfName.h"
#include "core/File.h"
#include "core/MessageSink.h"
#include "core/SettingsPlace.h"
#include "core/Templates.h"
#include "dxf/LayerStyles.h"

namespace {

constexpr char kReportHeading[] = "ツール番号・径補正番号";
constexpr int kReportRuleLength = 41;
constexpr char kNoNcNameMessage[] = "NCファイル名を入力してください。";
constexpr char kMissingFolderMessage[] = "NCファイルのフォルダが見つかりません。";
constexpr char kNoFileManagerMessage[] = "ファイルマネージャーが見つからないため、フォルダを開けません。";
// Begins each file's part of the report of a drop of several files.
constexpr char kFileHeadingMark[] = "■ ";
constexpr QSize kOpeningSize(1000, 680);

std::string WithoutEnclosingQuotes(const std::string& argument) {
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
        return argument.substr(1, argument.size() - 2);
    }
    return argument;
}

std::vector<std::string> LocalPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.push_back(ToLocal(url.toLocalFile()));
        }
    }
    return paths;
}

QPushButton* PictureButton(QStyle::StandardPixmap picture, int iconSize, const char* toolTip = nullptr) {
    auto* button = new QPushButton;
    button->setIcon(QApplication::style()->standardIcon(picture));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setAutoDefault(false);
    if (toolTip != nullptr) {
        button->setToolTip(QString::fromUtf8(toolTip));
    }
    return button;
}

// The NC listing above the report: both are text read in lines, and the list at the report's end leads into
// the listing; the preview beside them keeps the larger share of the width, which a drawing needs more than
// NC blocks of a few dozen characters do.
QSplitter* ListingAboveReport(NcListing* listing, QPlainTextEdit* report) {
    auto* column = new QSplitter(Qt::Vertical);
    column->setChildrenCollapsible(false);
    column->addWidget(listing);
    column->addWidget(report);
    column->setStretchFactor(0, 3);
    column->setStretchFactor(1, 2);
    return column;
}

}  // namespace

TForm1::TForm1(const std::vector<std::string>& arguments, EventPacing pacing)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      pacer_(pacing),
      startCaption_(kStartCaption) {
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(ProgramIcon(32));
    setFont(WindowFont());
    buildPanel1();
    buildPanel2();
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(Panel1);
    layout->addWidget(Panel2, 1);
    // On a screen too small for the controls at their smallest, scroll bars appear instead of a window
    // that outgrows the screen.
    auto* scroller = new QScrollArea;
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    scroller->setWidget(central);
    setCentralWidget(scroller);
    keepEditsUsable();
    buildMenu();
    connectHandlers();
    orderTabStops();
    auto* drops = new FileDropCatcher(
        *this, [this](const QMimeData& data) { return takesDrop(data); },
        [this](const QMimeData& data) { return takeDrop(data); });
    drops->watchWindow();

    presentMessage = [this](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };
    chooseOpenFile = [this](const QString& filter, const QString& folder) {
        OpenFileDialog dialog(this, filter, folder);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    confirmConversion = [this](const QString& path) {
        TOKBottomDlg dialog(this);
        dialog.StaticText1->setText(path);
        return dialog.exec() == QDialog::Accepted;
    };
    openFolder = OpenInFileManager;

    SetMessageSink(this);
    init(arguments);
    showRunProgress();
    FitOnScreen(*this, kOpeningSize);
}

TForm1::~TForm1() {
    if (&CurrentMessageSink() == this) {
        SetMessageSink(nullptr);
    }
}

void TForm1::buildPanel1() {
    Panel1 = new QFrame;
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    NcFileNameLabel = new QLabel(QStringLiteral("NCファイル名"));
    NcFileNameEdit = new QLineEdit;
    NcFileBtn = PictureButton(QStyle::SP_DirOpenIcon, 16, "NCファイルを選ぶ");
    DxfFileName = new QLabel(QStringLiteral("DXFファイル名"));
    DxfFileNameEdit = new QLineEdit;
    DxfFileBtn = PictureButton(QStyle::SP_DirOpenIcon, 16, "DXFファイルを選ぶ");
    Hedder = new QLabel(QStringLiteral("ヘッダーファイル"));
    HedderEdit = new QLineEdit;
    Footer = new QLabel(QStringLiteral("フッターファイル"));
    FooterEdit = new QLineEdit;
    SpeedButton1 = PictureButton(QStyle::SP_DirIcon, 32, "NCファイルのフォルダを開く");
    Start = PictureButton(QStyle::SP_MediaPlay, 24);
    Start->setDefault(true);
    Start->setMinimumHeight(40);
    Label1 = new QLabel(QStringLiteral("処理行数"));
    edNum = new QLineEdit;
    edNum->setReadOnly(true);
    // A display, not a control: it can be selected with the mouse, but Tab passes it by.
    edNum->setFocusPolicy(Qt::ClickFocus);
    QPalette blue = edNum->palette();
    blue.setColor(QPalette::Text, ReadableOn(Qt::blue, blue.color(QPalette::Base)));
    edNum->setPalette(blue);
    Aboat = PictureButton(QStyle::SP_BrowserStop, 16, "中止 (Esc)");
    Aboat->setText(QStringLiteral("中止"));
    End = PictureButton(QStyle::SP_DialogCloseButton, 16);
    End->setText(QStringLiteral("閉じる(&C)"));

    auto* grid = new QGridLayout(Panel1);
    grid->addWidget(NcFileNameLabel, 0, 0);
    grid->addWidget(NcFileNameEdit, 0, 1);
    grid->addWidget(NcFileBtn, 0, 2);
    grid->addWidget(DxfFileName, 1, 0);
    grid->addWidget(DxfFileNameEdit, 1, 1);
    grid->addWidget(DxfFileBtn, 1, 2);
    grid->addWidget(Hedder, 2, 0);
    grid->addWidget(HedderEdit, 2, 1);
    grid->addWidget(Footer, 3, 0);
    grid->addWidget(FooterEdit, 3, 1);
    grid->addWidget(SpeedButton1, 2, 2, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* counter = new QHBoxLayout;
    counter->addWidget(Label1);
    counter->addWidget(edNum);
    auto* actions = new QVBoxLayout;
    actions->addWidget(Start);
    actions->addLayout(counter);
    actions->addWidget(Aboat);
    actions->addWidget(End);
    grid->addLayout(actions, 0, 3, 4, 1);
}

// However small the window is made, the name edits show enough of a path to work with, the counter shows ten
// digits and the report a few lines; the window's minimum size follows from these.
void TForm1::keepEditsUsable() {
    constexpr int kVisibleCharacters = 32;
    constexpr int kVisibleReportLines = 4;
    for (QLineEdit* edit : {NcFileNameEdit, DxfFileNameEdit, HedderEdit, FooterEdit}) {
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kVisibleCharacters);
    }
    const QFontMetrics digits = edNum->fontMetrics();
    edNum->setMinimumWidth(digits.horizontalAdvance(QStringLiteral("0000000000")) +
                           digits.averageCharWidth() * 2);
    Memo1->setMinimumHeight(Memo1->fontMetrics().lineSpacing() * kVisibleReportLines);
}

// The report on the left, the preview taking the larger share on the right; the user moves the border.
void TForm1::buildPanel2() {
    Panel2 = new QFrame;
    Memo1 = new QPlainTextEdit;
    // Written by the runs only; the user reads, selects and copies it.
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setTabChangesFocus(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Preview = new PreviewPane;
    ReportSplitter = new QSplitter(Qt::Horizontal);
    ReportSplitter->setChildrenCollapsible(false);
    ReportSplitter->addWidget(ListingAboveReport(Preview->listing, Memo1));
    ReportSplitter->addWidget(Preview);
    ReportSplitter->setStretchFactor(0, 1);
    ReportSplitter->setStretchFactor(1, 2);
    ReportSplitter->setSizes({300, 600});
    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ReportSplitter);
}

void TForm1::buildMenu() {
    File1 = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    Open1 = File1->addAction(QStringLiteral("開く(&O)..."));
    Open1->setShortcut(QKeySequence::Open);
    Exit1 = File1->addAction(QStringLiteral("終了(&X)"));
    Settings1 = menuBar()->addMenu(QStringLiteral("設定(&S)"));
    Options1 = Settings1->addAction(QStringLiteral("オプション(&O)..."));
    N1 = menuBar()->addAction(QStringLiteral("バージョン(&V)"));
    AbortByKey = new QAction(this);
    AbortByKey->setShortcut(Qt::Key_Escape);
    addAction(AbortByKey);
}

// Tab follows the window from the top left: each name with its browse button, the templates and their
// folder button, the run's buttons, then the report and the preview's controls.
void TForm1::orderTabStops() {
    std::vector<QWidget*> stops = {NcFileNameEdit, NcFileBtn,  DxfFileNameEdit,  DxfFileBtn,
                                   HedderEdit,     FooterEdit, SpeedButton1,     Start,
                                   Aboat,          End,        Preview->listing, Memo1};
    stops.insert(stops.end(), Preview->layerBoxes.begin(), Preview->layerBoxes.end());
    stops.push_back(Preview->fitButton);
    stops.insert(stops.end(), Preview->viewButtons.begin(), Preview->viewButtons.end());
    stops.insert(stops.end(), {Preview->depthBox, Preview->measureButton});
    for (std::size_t i = 1; i < stops.size(); ++i) {
        setTabOrder(stops[i - 1], stops[i]);
    }
}

void TForm1::connectHandlers() {
    connect(NcFileBtn, &QPushButton::clicked, this, &TForm1::NcFileBtnClick);
    connect(Open1, &QAction::triggered, this, &TForm1::NcFileBtnClick);
    connect(DxfFileBtn, &QPushButton::clicked, this, &TForm1::DxfFileBtnClick);
    connect(NcFileNameEdit, &QLineEdit::textChanged, this, &TForm1::NcFileNameEditChange);
    connect(NcFileNameEdit, &QLineEdit::textEdited, this, &TForm1::NcFileNameEdited);
    connect(DxfFileNameEdit, &QLineEdit::textChanged, this, &TForm1::DxfFileNameEditChange);
    connect(Start, &QPushButton::clicked, this, &TForm1::StartClick);
    connect(Aboat, &QPushButton::clicked, this, &TForm1::AboatClick);
    connect(AbortByKey, &QAction::triggered, this, &TForm1::AboatClick);
    connect(End, &QPushButton::clicked, this, &QWidget::close);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(N1, &QAction::triggered, this, &TForm1::N1Click);
    connect(Options1, &QAction::triggered, this, &TForm1::Options1Click);
    LinkReportedLines(*Memo1, [this](const FirstMet& reported) {
        Preview->showReportedLine(reported.file, reported.line);
    });
}

void TForm1::init(const std::vector<std::string>& arguments) {
    exeDir = ExeDrive() + ExeDir();
    const ChosenTemplates templates = ChooseTemplates({}, {});
    hedderFile = templates.hedderFile;
    footerFile = templates.footerFile;
    settings_ = LoadWindowSettings(SettingsFilePath());
    HedderEdit->setText(ToQString(hedderFile));
    FooterEdit->setText(ToQString(footerFile));
    forgetArcRadii();
    state_ = WindowState::Idle;
    setRunning(false);
    enableAbortWhileRunning();
    if (!arguments.empty()) {
        showNames(WithoutEnclosingQuotes(arguments.front()));
        // Drawn once the window is up; a run the user starts before then makes this one do nothing.
        QMetaObject::invokeMethod(this, &TForm1::previewProgram, Qt::QueuedConnection);
    }
    resetReport();
    if (!templates.missingMessage.empty()) {
        ShowMessageBox(templates.missingMessage);
    }
}

// The NC name and the DXF name derived from it, as the browse dialog, the command line and a drop set them.
void TForm1::showNames(const std::string& ncPath) {
    ncFile = ncPath;
    NcFileNameEdit->setText(ToQString(ncPath));
    dxfFile = DxfNameFor(ncPath);
    DxfFileNameEdit->setText(ToQString(dxfFile));
}

// A preview goes on under the dialog; it gives way only when another program is chosen.
void TForm1::NcFileBtnClick() {
    if (busy() && !previewing()) {
        return;
    }
    const QString chosen = chooseOpenFile(QString::fromUtf8(kNcFilter), ToQString(FolderOfName(ncFile)));
    if (!chosen.isEmpty()) {
        showNames(ToLocal(chosen));
        afterPreview([this] { previewProgram(); });
    }
}

void TForm1::NcFileNameEntered() {
    if (!busy() || previewing()) {
        afterPreview([this] { previewProgram(); });
    }
}

void TForm1::DxfFileBtnClick() {
    if (busy() && !previewing()) {
        return;
    }
    const QString chosen = chooseOpenFile(QString::fromUtf8(kDxfFilter), ToQString(FolderOfName(dxfFile)));
    if (!chosen.isEmpty()) {
        DxfFileNameEdit->setText(chosen);
    }
}

void TForm1::NcFileNameEditChange() {
    ncFile = BytesShown(NcFileNameEdit->text(), ncFile);
}

// A name the user types makes the DXF name follow it, as browsing does, so a run never writes over the
// drawing of the program named before.
void TForm1::NcFileNameEdited() {
    ncFile = BytesShown(NcFileNameEdit->text(), ncFile);
    if (!ncFile.empty()) {
        dxfFile = DxfNameFor(ncFile);
        DxfFileNameEdit->setText(ToQString(dxfFile));
    }
}

void TForm1::DxfFileNameEditChange() {
    dxfFile = BytesShown(DxfFileNameEdit->text(), dxfFile);
}

// A run the user starts has the report to itself.
void TForm1::StartClick() {
    if (!busy() || previewing()) {
        afterPreview([this] {
            resetReport();
            convert();
        });
    }
}

// While a preview draws, the user's action stops it and is done once it has returned: a run never starts
// inside another.
void TForm1::afterPreview(std::function<void()> action) {
    if (previewing()) {
        pendingAction_ = std::move(action);
        setRunning(false);
    } else {
        action();
    }
}

ConversionFiles TForm1::runFiles() {
    hedderFile = BytesShown(HedderEdit->text(), hedderFile);
    footerFile = BytesShown(FooterEdit->text(), footerFile);
    return {hedderFile,
            footerFile,
            ncFile,
            dxfFile,
            settings_.macro.libraryFolders,
            settings_.macro.maxBlocks,
            settings_.units};
}

// The chosen program's path, report and undrawn codes, drawn as a conversion would draw them but without
// writing anything. What the user asked for while it drew is done after it.
void TForm1::previewProgram() {
    if (busy() || ncFile.empty()) {
        return;
    }
    resetReport();
    runDrawing(WindowState::Previewing);
    if (std::function<void()> action = std::exchange(pendingAction_, {})) {
        action();
    }
}

// One conversion run with the names the edits show now.
RunOutcome TForm1::convert() {
    return runDrawing(WindowState::Converting);
}

// A run with the names the edits show now, drawn in the preview as it goes: a conversion, or while
// Previewing one that writes nothing.
RunOutcome TForm1::runDrawing(WindowState running) {
    const ConversionFiles files = runFiles();
    pacer_.restart();
    const WindowStateScope scope(state_, running);
    Preview->startRun(ncFile, ReadLayerStyles(hedderFile));
    const RunOutcome outcome = running == WindowState::Previewing
                                   ? PreviewProgram(*this, files, Preview->model())
                                   : RunConversion(*this, files, &Preview->model());
    enableAbortWhileRunning();
    // An aborted conversion has cleared the preview already, a stopped preview keeps what it drew; a failed
    // run leaves no half drawing.
    if (outcome == RunOutcome::Failed) {
        Preview->clear();
    }
    showRunProgress();
    return outcome;
}

// The run that sees `running` cleared removes the drawing it was writing aside; no file is deleted by name,
// so an earlier drawing, or one that a finished run put in place, is never lost to Abort.
// A preview stops quietly and keeps what it has drawn.
void TForm1::AboatClick() {
    setRunning(false);
    enableAbortWhileRunning();
    if (previewing()) {
        return;
    }
    ShowMessageBox(kAbortMessage);
    resetReport();
    Preview->clear();
    showStartButton(kStartCaption, kColourBlack);
    showRunProgress();
}

// The desktop's file manager on the NC file's folder, without waiting for it. A click that opens nothing
// says why, and names the folder so that the user can go there another way.
void TForm1::SpeedButton1Click() {
    if (ncFile.empty()) {
        ShowMessageBox(kNoNcNameMessage);
        return;
    }
    const std::string folder = FolderOfName(ncFile);
    if (folder.empty()) {
        ShowMessageBox(std::string(kMissingFolderMessage) + "\n" + ncFile);
    } else if (!openFolder(ToQString(folder))) {
        ShowMessageBox(std::string(kNoFileManagerMessage) + "\n" + folder);
    }
}

void TForm1::N1Click() {
    TAboutBox box(this, SettingsFilePath());
    box.exec();
}

// A settings file that cannot be written leaves the settings in use until the window closes.
void TForm1::Options1Click() {
    SettingsDialog dialog(this, settings_);
    if (dialog.exec() == QDialog::Accepted) {
        settings_ = dialog.settings();
        SaveWindowSettings(settings_, SettingsFilePath());
    }
}

void TForm1::WMDropFiles(const std::vector<std::string>& paths) {
    if (previewing()) {
        afterPreview([this, paths] { WMDropFiles(paths); });
        return;
    }
    if (busy() || paths.empty()) {
        return;
    }
    if (paths.size() == 1) {
        showNames(paths.front());
        previewProgram();
        return;
    }
    // The batch's report is one: cleared once, each converted file's part headed by its name.
    const WindowStateScope dropping(state_, WindowState::Dropping);
    resetReport();
    for (const std::string& path : paths) {
        if (state_ == WindowState::Closing) {
            break;
        }
        showNames(path);
        if (confirmConversion(ToQString(path))) {
            headReportWith(path);
            convert();
        }
    }
}

void TForm1::resetReport() {
    Memo1->clear();
    Memo1->appendPlainText(QString::fromUtf8(kReportHeading));
    Memo1->appendPlainText(QString(kReportRuleLength, QLatin1Char('-')));
}

void TForm1::headReportWith(const std::string& ncPath) {
    Memo1->appendPlainText(QString::fromUtf8(kFileHeadingMark) + ToQString(ncPath));
}

// Abort, by button or Escape, is offered exactly while a run reads lines: before and after, it would only
// wipe the report of the run just finished.
void TForm1::enableAbortWhileRunning() {
    Aboat->setEnabled(running());
    AbortByKey->setEnabled(running());
}

void TForm1::showMessage(std::string_view caption, std::string_view text) {
    enableAbortWhileRunning();
    showRunProgress();
    presentMessage(ToQString(caption), ToQString(text));
}

void TForm1::showStartButton(std::string_view caption, int colour) {
    if (caption != startCaption_) {
        startCaption_.assign(caption);
    }
    startColour_ = colour;
}

void TForm1::showLineCount(std::int64_t count) {
    lineCount_ = count;
}

void TForm1::appendReportLine(std::string_view line) {
    Memo1->appendPlainText(ToQString(line));
}

void TForm1::handlePendingEvents() {
    const EventPacer::Due due = pacer_.next();
    if (due.repaint) {
        showRunProgress();
    }
    if (due.events) {
        enableAbortWhileRunning();
        QCoreApplication::processEvents();
    }
}

// Brings the counter, the Start button and the preview up to what the run last reported.
void TForm1::showRunProgress() {
    Preview->showProgress();
    if (lineCount_ != shownCount_) {
        edNum->setText(QString::number(lineCount_));
        shownCount_ = lineCount_;
    }
    if (startCaption_ != shownCaption_ || startColour_ != shownColour_) {
        showStartCaption();
    }
}

// The caption in the colour the run asked for, as the palette of the controls around it lets it read.
void TForm1::showStartCaption() {
    Start->setText(ToQString(startCaption_));
    QPalette palette = Start->parentWidget()->palette();
    palette.setColor(QPalette::ButtonText,
                     TextColourOf(startColour_, palette, QPalette::ButtonText, QPalette::Button));
    Start->setPalette(palette);
    shownCaption_ = startCaption_;
    shownColour_ = startColour_;
}

// Enter activates the button that has the focus; elsewhere, the read-only report included, it starts a
// conversion, unless the focused control takes Enter itself.
void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (focusWidget() == NcFileNameEdit) {
            NcFileNameEntered();
            return;
        }
        auto* focusedButton = qobject_cast<QAbstractButton*>(focusWidget());
        (focusedButton != nullptr ? focusedButton : Start)->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TForm1::takesDrop(const QMimeData& data) const {
    return (!busy() || previewing()) && data.hasUrls();
}

// The drop is acknowledged at once and worked through afterwards, so the file manager is not kept waiting
// while the files are confirmed and converted.
bool TForm1::takeDrop(const QMimeData& data) {
    std::vector<std::string> paths = LocalPaths(data);
    if (!takesDrop(data) || paths.empty()) {
        return false;
    }
    QMetaObject::invokeMethod(
        this, [this, paths = std::move(paths)] { WMDropFiles(paths); }, Qt::QueuedConnection);
    return true;
}

// Closing during a run stops it as Abort does, so no half-written drawing is left behind.
void TForm1::closeEvent(QCloseEvent* event) {
    const bool stopsPreview = previewing();
    // A closed window starts nothing the user asked for while its preview drew.
    pendingAction_ = nullptr;
    if (busy()) {
        state_ = WindowState::Closing;
    }
    if (running()) {
        stopsPreview ? setRunning(false) : AboatClick();
    }
    QMainWindow::closeEvent(event);
}
