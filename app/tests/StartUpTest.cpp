#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/NameFilters.h"
#include "app/NcListing.h"
#include "app/PreviewPane.h"
#include "app/tests/WindowFixture.h"

namespace {

// The original dialog's thirteen patterns, then .ngc, .tap and .cnc, which the desktop also opens with Plotra.
const char* const kExactNcFilter =
    "ＮＣデータ|*.NC;*.NT;*.N;*.F74;*.70V;*.65V;*.M44;*.44W;*.M30;*.4D2;*.V33;*.NCD;*.NTD;*.NGC;*.TAP;*.CNC|ALL|*.*";
const char* const kExactDxfFilter = "DXFデータ|*.dxf|ALL|*.*";
const ShownMessage kMissingName{"メッセージ", "ファイル名を入力してください。"};
const ShownMessage kMissingNcName{"メッセージ", "NCファイル名を入力してください。"};

std::string ProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

using StartUpTest = WindowTest;

TEST_F(StartUpTest, WithoutArgumentsOnlyTheTemplateNamesAreFilledIn) {
    TForm1& window = open();
    EXPECT_EQ(text(window.NcFileNameEdit->text()), "");
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), "");
    EXPECT_EQ(text(window.HedderEdit->text()), ProgramFolder() + "Hedder.dat");
    EXPECT_EQ(text(window.FooterEdit->text()), ProgramFolder() + "Footer.dat");
    EXPECT_EQ(window.exeDir, ProgramFolder());
    EXPECT_EQ(window.ncFile, "");
    EXPECT_EQ(window.dxfFile, "");
    EXPECT_EQ(memoText(), kMemoHeadings);
    EXPECT_EQ(text(window.edNum->text()), "");
    EXPECT_EQ(text(window.Start->text()), "変換開始");
    EXPECT_EQ(window.Start->palette().color(QPalette::ButtonText), QColor(Qt::black));
    EXPECT_FALSE(window.running());
    EXPECT_EQ(window.state(), WindowState::Idle);
    EXPECT_EQ(window.minRG02(), RunHost::kNoArc);
    EXPECT_EQ(window.minRG03(), RunHost::kNoArc);
    EXPECT_TRUE(messages.empty());
}

struct NameCase {
    const char* argument;
    const char* nc;
    const char* dxf;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.argument;
}

class ArgumentTest : public WindowTest, public testing::WithParamInterface<NameCase> {};

// None of these programs exists: drawing it says so, and nothing is converted.
TEST_P(ArgumentTest, FillsInTheNamesAndTriesToDrawTheProgram) {
    TForm1& window = open({GetParam().argument, "ignored.nc"});
    EXPECT_EQ(text(window.NcFileNameEdit->text()), GetParam().nc);
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), GetParam().dxf);
    EXPECT_EQ(window.ncFile, GetParam().nc);
    EXPECT_EQ(window.dxfFile, GetParam().dxf);
    EXPECT_EQ(text(window.edNum->text()), "");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{
                            {"File Open Error", std::string("No Open ") + GetParam().nc + ": " + std::strerror(ENOENT)}}));
}

INSTANTIATE_TEST_SUITE_P(
    DxfNameRule, ArgumentTest,
    testing::Values(NameCase{"D:\\NC\\PART1.NC", "D:\\NC\\PART1.NC", "D:\\NC\\PART1.DXF"},
                    NameCase{"D:\\NC\\PROG", "D:\\NC\\PROG", "D:\\NC\\PROG.DXF"},
                    NameCase{"D:\\NC\\A.B.NC", "D:\\NC\\A.B.NC", "D:\\NC\\A.B.DXF"},
                    NameCase{"/home/cnc/part1.nc", "/home/cnc/part1.nc", "/home/cnc/part1.DXF"},
                    NameCase{"\"/home/cnc/ｎｃ 2.nc\"", "/home/cnc/ｎｃ 2.nc", "/home/cnc/ｎｃ 2.DXF"}));

TEST_F(StartUpTest, NamesThatAreNotUtf8KeepTheirBytesThroughARun) {
    const std::string nc = folder.file("\x83\x5c\x93\xfc.NC");
    WriteBytes(nc, "G00 X0\r\n");
    TForm1& window = open({nc});
    EXPECT_EQ(window.ncFile, nc);
    EXPECT_EQ(window.dxfFile, folder.file("\x83\x5c\x93\xfc.DXF"));
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    EXPECT_TRUE(std::filesystem::exists(folder.file("\x83\x5c\x93\xfc.DXF")));
}

// A typed NC name takes the DXF name with it, as browsing does: converting must not write over the drawing
// of the program named before.
TEST_F(StartUpTest, TypingANewNcNameMakesTheDxfNameFollow) {
    TForm1& window = open({"D:\\NC\\PART1.NC"});
    window.NcFileNameEdit->clear();
    QTest::keyClicks(window.NcFileNameEdit, "D:\\NC\\OTHER.NC");
    EXPECT_EQ(window.ncFile, "D:\\NC\\OTHER.NC");
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), "D:\\NC\\OTHER.DXF");
    EXPECT_EQ(window.dxfFile, "D:\\NC\\OTHER.DXF");
}

TEST_F(StartUpTest, TypingADxfNameStoresIt) {
    TForm1& window = open({"D:\\NC\\PART1.NC"});
    window.DxfFileNameEdit->clear();
    QTest::keyClicks(window.DxfFileNameEdit, "E:\\OUT.DXF");
    EXPECT_EQ(window.dxfFile, "E:\\OUT.DXF");
    EXPECT_EQ(window.ncFile, "D:\\NC\\PART1.NC");
}

TEST_F(StartUpTest, NcBrowseAsksWithTheNcFilterAndDerivesTheDxfName) {
    TForm1& window = open();
    fileAnswers = {QStringLiteral("/data/nc/PART7.NC")};
    window.NcFileBtn->click();
    ASSERT_EQ(filtersAsked.size(), 1u);
    EXPECT_EQ(text(filtersAsked[0]), kExactNcFilter);
    EXPECT_EQ(window.ncFile, "/data/nc/PART7.NC");
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), "/data/nc/PART7.DXF");
}

TEST_F(StartUpTest, OpenMenuIsTheNcBrowse) {
    TForm1& window = open();
    fileAnswers = {QStringLiteral("/data/nc/A.B.NC")};
    window.Open1->trigger();
    ASSERT_EQ(filtersAsked.size(), 1u);
    EXPECT_EQ(text(filtersAsked[0]), kExactNcFilter);
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), "/data/nc/A.B.DXF");
}

TEST_F(StartUpTest, CancelledBrowsesChangeNothing) {
    TForm1& window = open({"/data/nc/PART1.NC"});
    window.NcFileBtn->click();
    window.DxfFileBtn->click();
    EXPECT_EQ(filtersAsked.size(), 2u);
    EXPECT_EQ(window.ncFile, "/data/nc/PART1.NC");
    EXPECT_EQ(window.dxfFile, "/data/nc/PART1.DXF");
}

TEST_F(StartUpTest, DxfBrowseAsksWithTheDxfFilterAndLeavesTheNcName) {
    TForm1& window = open({"/data/nc/PART1.NC"});
    fileAnswers = {QStringLiteral("/data/out/drawing.dxf")};
    window.DxfFileBtn->click();
    ASSERT_EQ(filtersAsked.size(), 1u);
    EXPECT_EQ(text(filtersAsked[0]), kExactDxfFilter);
    EXPECT_EQ(window.dxfFile, "/data/out/drawing.dxf");
    EXPECT_EQ(window.ncFile, "/data/nc/PART1.NC");
}

TEST_F(StartUpTest, ControlsCarryTheirCaptions) {
    TForm1& window = open();
    EXPECT_EQ(text(window.windowTitle()), "ＮＣ→ＤＸＦ変換");
    EXPECT_EQ(text(window.NcFileNameLabel->text()), "NCファイル名");
    EXPECT_EQ(text(window.DxfFileName->text()), "DXFファイル名");
    EXPECT_EQ(text(window.Hedder->text()), "ヘッダーファイル");
    EXPECT_EQ(text(window.Footer->text()), "フッターファイル");
    EXPECT_EQ(text(window.Label1->text()), "処理行数");
    EXPECT_EQ(text(window.Aboat->text()), "中止");
    EXPECT_EQ(text(window.End->text()), "閉じる(&C)");
    EXPECT_EQ(text(window.File1->title()), "ファイル(&F)");
    EXPECT_EQ(text(window.Open1->text()), "開く(&O)...");
    EXPECT_EQ(text(window.Exit1->text()), "終了(&X)");
    EXPECT_EQ(text(window.N1->text()), "バージョン(&V)");
    EXPECT_TRUE(window.menuBar()->actions().contains(window.N1));
    EXPECT_TRUE(window.File1->actions().contains(window.Open1));
    EXPECT_TRUE(window.File1->actions().contains(window.Exit1));
}

TEST_F(StartUpTest, LookFollowsTheOriginal) {
    TForm1& window = open();
    EXPECT_TRUE(window.font().families().contains(QStringLiteral("IPAPGothic")));
    EXPECT_EQ(window.font().pixelSize(), 12);
    EXPECT_TRUE(window.Start->isDefault());
    EXPECT_EQ(window.edNum->palette().color(QPalette::Text), QColor(Qt::blue));
    for (const QPushButton* button :
         {window.NcFileBtn, window.DxfFileBtn, window.SpeedButton1, window.Start, window.Aboat, window.End}) {
        EXPECT_FALSE(button->icon().isNull());
    }
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.acceptDrops());
    // The window icon is the drawing installed for the desktop: clear outside the sheet, the contour in blue.
    const QImage icon = window.windowIcon().pixmap(32, 32).toImage();
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(26, 16), QColor(0x00, 0x40, 0xC0));
}

TEST_F(StartUpTest, EnterInAnEditStartsAConversion) {
    TForm1& window = open();
    window.appendReportLine("T01  D01");
    window.HedderEdit->setFocus();
    QTest::keyClick(window.HedderEdit, Qt::Key_Return);
    EXPECT_EQ(messages, std::vector<ShownMessage>{kMissingName});
    EXPECT_EQ(memoText(), kMemoHeadings);
}

// Enter on a focused button is that button's click, and nothing else.
struct EnterCase {
    const char* name;
    QPushButton* TForm1::*button;
    std::vector<ShownMessage> messages;
    std::vector<std::string> filtersAsked;
    std::size_t foldersOpened;
    bool staysOpen;
};

void PrintTo(const EnterCase& c, std::ostream* out) {
    *out << c.name;
}

class EnterOnButtonTest : public WindowTest, public testing::WithParamInterface<EnterCase> {};

TEST_P(EnterOnButtonTest, ActivatesThatButton) {
    TForm1& window = open();
    const UrlRecorder desktop("file");
    QPushButton* button = window.*GetParam().button;
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(messages, GetParam().messages);
    std::vector<std::string> filters;
    for (const QString& filter : filtersAsked) {
        filters.push_back(text(filter));
    }
    EXPECT_EQ(filters, GetParam().filtersAsked);
    EXPECT_EQ(desktop.opened.size(), GetParam().foldersOpened);
    EXPECT_EQ(window.isVisible(), GetParam().staysOpen);
    EXPECT_TRUE(window.Start->isDefault());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, EnterOnButtonTest,
    testing::Values(EnterCase{"NcBrowse", &TForm1::NcFileBtn, {}, {kExactNcFilter}, 0, true},
                    EnterCase{"DxfBrowse", &TForm1::DxfFileBtn, {}, {kExactDxfFilter}, 0, true},
                    EnterCase{"Explorer", &TForm1::SpeedButton1, {kMissingNcName}, {}, 0, true},
                    EnterCase{"Start", &TForm1::Start, {kMissingName}, {}, 0, true},
                    EnterCase{"Close", &TForm1::End, {}, {}, 0, false}),
    [](const testing::TestParamInfo<EnterCase>& info) { return std::string(info.param.name); });

// The window opens within the offscreen screen, which is smaller than the window would like.
TEST_F(StartUpTest, SmallestWindowKeepsEveryEditUsable) {
    TForm1& window = open();
    const QRect free = window.screen()->availableGeometry();
    EXPECT_TRUE(free.contains(window.frameGeometry()));
    window.resize(1, 1);
    const int character = window.HedderEdit->fontMetrics().averageCharWidth();
    for (const QLineEdit* edit :
         {window.NcFileNameEdit, window.DxfFileNameEdit, window.HedderEdit, window.FooterEdit}) {
        EXPECT_GE(edit->width(), 30 * character);
    }
    EXPECT_GE(window.edNum->width(),
              window.edNum->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    EXPECT_GE(window.Memo1->viewport()->height(), 3 * window.Memo1->fontMetrics().lineSpacing());
    for (const QPushButton* pictureOnly : {window.NcFileBtn, window.DxfFileBtn, window.SpeedButton1}) {
        EXPECT_FALSE(pictureOnly->toolTip().isEmpty());
    }
}

// Tab goes from the top left through every control (Abort only during a run) and round again; the report
// is never typed into; Ctrl+O opens an NC file.
TEST_F(StartUpTest, KeysReachEveryControl) {
    TForm1& window = open();
    std::vector<QWidget*> expected = {window.NcFileNameEdit, window.NcFileBtn,  window.DxfFileNameEdit,
                                      window.DxfFileBtn,     window.HedderEdit, window.FooterEdit,
                                      window.SpeedButton1,   window.Start,      window.End,
                                      window.Preview->listing, window.Memo1};
    PreviewPane& preview = *window.Preview;
    expected.insert(expected.end(), preview.layerBoxes.begin(), preview.layerBoxes.end());
    expected.push_back(preview.fitButton);
    expected.insert(expected.end(), preview.viewButtons.begin(), preview.viewButtons.end());
    expected.insert(expected.end(), {preview.depthBox, preview.measureButton, window.NcFileNameEdit});
    window.NcFileNameEdit->setFocus();
    std::vector<QWidget*> visited = {window.focusWidget()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        visited.push_back(window.focusWidget());
    }
    EXPECT_EQ(visited, expected);
    QTest::keyClicks(window.Memo1, "X");
    EXPECT_EQ(memoText(), kMemoHeadings);
    fileAnswers = {QStringLiteral("/data/nc/PART2.NC")};
    QTest::keyClick(window.focusWidget(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window.ncFile, "/data/nc/PART2.NC");
}

// On a palette of grey 40, the Start caption, black and then red, and the blue counter are light.
TEST_F(StartUpTest, TextsReadUnderADarkPalette) {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(40, 40, 40)));
    TForm1& window = open({ncProgram("PART1.NC", 20)});
    QColor red;
    const AtLine atLine(window, 3, [&] { red = window.Start->palette().color(QPalette::ButtonText); });
    const QColor black = window.Start->palette().color(QPalette::ButtonText);
    window.Start->click();
    QApplication::setPalette(light);
    EXPECT_EQ(red.hue(), 0);
    for (const QColor& colour : {red, black, window.edNum->palette().color(QPalette::Text)}) {
        EXPECT_GE(colour.lightness(), 140);
    }
}

TEST_F(StartUpTest, CloseButtonAndExitMenuCloseTheWindow) {
    TForm1& window = open();
    window.End->click();
    EXPECT_FALSE(window.isVisible());
    window.show();
    window.Exit1->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST(NameFilters, BarFiltersBecomeQtNameFilters) {
    EXPECT_EQ(
        QtNameFilters(QString::fromUtf8(kExactNcFilter)),
        QStringList({QStringLiteral("ＮＣデータ (*.NC *.NT *.N *.F74 *.70V *.65V *.M44 *.44W *.M30 *.4D2 "
                                    "*.V33 *.NCD *.NTD *.NGC *.TAP *.CNC)"),
                     QStringLiteral("ALL (*.*)")}));
    EXPECT_EQ(QtNameFilters(QString::fromUtf8(kExactDxfFilter)),
              QStringList({QStringLiteral("DXFデータ (*.dxf)"), QStringLiteral("ALL (*.*)")}));
}

}  // namespace
