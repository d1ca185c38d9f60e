#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/About.h"
#include "app/MacroSettingsBox.h"
#include "app/OKDlg.h"
#include "app/OpenFileDialog.h"
#include "app/SettingsDialog.h"
#include "app/UnitSettingsBox.h"
#include "app/WindowSettings.h"
#include "app/tests/WindowFixture.h"
#include "core/MessageSink.h"
#include "core/Settings.h"

namespace {

namespace fs = std::filesystem;

class SilentSink : public MessageSink {
public:
    SilentSink() { SetMessageSink(this); }
    ~SilentSink() override { SetMessageSink(nullptr); }
    void showMessage(std::string_view, std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

std::string Text(const QString& shown) {
    return shown.toStdString();
}

class AboutBoxTest : public testing::Test {
protected:
    TempFolder folder;
    std::string settings = folder.file("PLOTRA.INI");
    SilentSink sink;
};

TEST_F(AboutBoxTest, ShowsNameVersionAndHistory) {
    TAboutBox box(nullptr, settings);
    EXPECT_EQ(Text(box.windowTitle()), "バージョン情報");
    EXPECT_EQ(Text(box.ProductName->text()), "Plotra3D");
    EXPECT_EQ(Text(box.Version->text()), "Version 1.09  2006.02");
    EXPECT_EQ(Text(box.BitBtn1->text()), "サポート");
    EXPECT_EQ(Text(box.OKButton->text()), "OK");
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    const QStringList history = box.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(history.size(), 27);
    EXPECT_EQ(Text(history[0]), "Ver1.00 2003.01.31");
    EXPECT_EQ(Text(history[1]), "　　初期公開");
    EXPECT_EQ(Text(history[3]), "    レイヤー名変更(要素別→加工モード別)");
    EXPECT_EQ(Text(history[22]), "Ver1.08  ");
    EXPECT_EQ(Text(history[26]), "　　X0Y0Z100.をデフォルトに設定");
    EXPECT_FALSE(box.Memo1->isReadOnly());
}

TEST_F(AboutBoxTest, OkClosesTheDialog) {
    TAboutBox box(nullptr, settings);
    box.show();
    box.OKButton->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(AboutBoxTest, FirstOpeningWritesTheDefaultsAndDisablesSupport) {
    TAboutBox box(nullptr, settings);
    EXPECT_FALSE(box.BitBtn1->isEnabled());
    EXPECT_EQ(ReadBytes(settings), "[INIT]\r\nNET=OFF\r\nURL=\r\n");
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(AboutBoxTest, NetOnEnablesSupportWhichOpensTheUrl) {
    WriteBytes(settings, "[INIT]\r\nNET=ON\r\nURL=https://support.example/plotra\r\n");
    UrlRecorder desktop("https");
    TAboutBox box(nullptr, settings);
    ASSERT_TRUE(box.BitBtn1->isEnabled());
    box.BitBtn1->click();
    EXPECT_EQ(desktop.opened, std::vector<QUrl>{QUrl(QStringLiteral("https://support.example/plotra"))});
    EXPECT_EQ(ReadBytes(settings), "[INIT]\r\nNET=ON\r\nURL=https://support.example/plotra\r\n");
}

TEST_F(AboutBoxTest, UrlInBraceFormOverTwoLinesIsJoined) {
    WriteBytes(settings, "[INIT]\r\nNET=ON\r\nURL={https://support.\r\nexample/help}\r\n");
    UrlRecorder desktop("https");
    TAboutBox box(nullptr, settings);
    box.BitBtn1->click();
    EXPECT_EQ(desktop.opened, std::vector<QUrl>{QUrl(QStringLiteral("https://support.example/help"))});
}

struct SwitchCase {
    const char* name;
    const char* content;
};

void PrintTo(const SwitchCase& c, std::ostream* out) {
    *out << c.name;
}

class SupportOffTest : public AboutBoxTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(SupportOffTest, DisablesSupportAndErasesTheUrl) {
    WriteBytes(settings, GetParam().content);
    TAboutBox box(nullptr, settings);
    EXPECT_FALSE(box.BitBtn1->isEnabled());
    EXPECT_EQ(ReadSetting("INIT", "URL", settings), "");
    EXPECT_EQ(ReadBytes(settings).find("support.example"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Switch, SupportOffTest,
    testing::Values(SwitchCase{"Off", "[INIT]\r\nNET=OFF\r\nURL=https://support.example/\r\n"},
                    SwitchCase{"LowerCaseOn", "[INIT]\r\nNET=on\r\nURL=https://support.example/\r\n"},
                    SwitchCase{"OnWithBlankInside", "[INIT]\r\nNET=O N\r\nURL=https://support.example/\r\n"},
                    SwitchCase{"Missing", "[INIT]\r\nURL=https://support.example/\r\n"}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST_F(AboutBoxTest, SettingsThatCannotBeWrittenLeaveSupportOffSilently) {
    WriteBytes(folder.file("plain"), "x");
    TAboutBox box(nullptr, folder.file("plain/PLOTRA.INI"));
    EXPECT_FALSE(box.BitBtn1->isEnabled());
    EXPECT_TRUE(sink.messages.empty());
}

// A PLOTRA.INI planted as a link to another file is never followed by the version dialog or a save.
TEST_F(AboutBoxTest, SettingsPlantedAsALinkAreNeverWrittenThrough) {
    const std::string victim = folder.write("victim", "[INIT]\r\nNET=ON\r\n");
    fs::create_symlink(victim, settings);
    EXPECT_FALSE(TAboutBox(nullptr, settings).BitBtn1->isEnabled());
    EXPECT_FALSE(SaveWindowSettings(WindowSettings{}, settings));
    EXPECT_TRUE(fs::is_symlink(settings));
    EXPECT_EQ(ReadBytes(victim), "[INIT]\r\nNET=ON\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2);
}

TEST(ConfirmationDialog, CarriesItsTextsAndButtons) {
    TOKBottomDlg dialog(nullptr);
    EXPECT_EQ(Text(dialog.windowTitle()), "複数ファイル変換？");
    EXPECT_EQ(Text(dialog.Label1->text()), "下記のファイルを変換しますか？");
    EXPECT_EQ(Text(dialog.StaticText1->text()), "NoFIle");
    EXPECT_EQ(Text(dialog.Start->text()), "変換開始");
    EXPECT_EQ(Text(dialog.CancelBtn->text()), "キャンセル");
    EXPECT_TRUE(dialog.Start->isDefault());
    EXPECT_FALSE(dialog.Start->icon().isNull());
    EXPECT_TRUE(dialog.Label1->font().bold());
    EXPECT_EQ(dialog.Label1->font().pixelSize(), 16);
    EXPECT_TRUE(dialog.Label1->autoFillBackground());
    EXPECT_EQ(dialog.Label1->palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_TRUE(dialog.StaticText1->font().bold());
    EXPECT_EQ(dialog.StaticText1->font().pixelSize(), 13);
}

TEST(ConfirmationDialog, StartAcceptsAndCancelOrEscapeRejects) {
    TOKBottomDlg byStart(nullptr);
    byStart.show();
    byStart.Start->click();
    EXPECT_EQ(byStart.result(), QDialog::Accepted);

    TOKBottomDlg byCancel(nullptr);
    byCancel.show();
    byCancel.CancelBtn->click();
    EXPECT_EQ(byCancel.result(), QDialog::Rejected);

    TOKBottomDlg byEscape(nullptr);
    byEscape.show();
    QTest::keyClick(&byEscape, Qt::Key_Escape);
    EXPECT_EQ(byEscape.result(), QDialog::Rejected);
    EXPECT_FALSE(byEscape.isVisible());
}

// However long the path, the dialog stays on the screen and shows all of it: it wraps after a separator, or
// anywhere in a name too long for a line.
TEST(ConfirmationDialog, LongPathWrapsWithinTheScreen) {
    std::string folders = "/home/cnc";
    while (folders.size() < 288) {
        folders += "/programs";
    }
    const std::string inFolders = folders.substr(0, 288) + "/PART1234.NC";
    const std::string oneName = "/home/cnc/" + std::string(287, 'P') + ".NC";
    for (const std::string& path : {inFolders, oneName}) {
        ASSERT_EQ(path.size(), 300u);
        TOKBottomDlg dialog(nullptr);
        dialog.StaticText1->setText(QString::fromStdString(path));
        dialog.show();
        const QRect screen = dialog.screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(dialog.frameGeometry())) << path;
        const PathLabel& shown = *dialog.StaticText1;
        EXPECT_EQ(Text(shown.text()), path);
        EXPECT_GE(shown.height(), shown.heightForWidth(shown.width()));
        EXPECT_GE(shown.height(), 3 * shown.fontMetrics().lineSpacing());
    }
}

// Qt's own dialog, so that it speaks Japanese on any desktop, with the NC filter's thirteen patterns in view.
TEST(OpenFileDialog, ShowsTheWholeNcFilterInJapanese) {
    OpenFileDialog dialog(nullptr, QString::fromUtf8(kNcFilter), QString());
    dialog.show();
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    const auto* filters = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(filters, nullptr);
    EXPECT_TRUE(filters->currentText().contains(QStringLiteral("*.NTD")));
    EXPECT_GT(filters->width(), filters->fontMetrics().horizontalAdvance(filters->currentText()));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(Text(buttons->button(QDialogButtonBox::Cancel)->text()), "キャンセル");
}

TEST(QtTexts, EditMenusAreInJapanese) {
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << action->text();
    }
    EXPECT_TRUE(texts.join(QLatin1Char('|')).contains(QStringLiteral("貼り付け"))) << Text(texts.join('|'));
}

using WindowDialogsTest = WindowTest;

TEST_F(WindowDialogsTest, VersionMenuShowsTheVersionDialogWithTheSettingsBesideTheProgram) {
    const SettingsBesideProgram settings("[INIT]\r\nNET=ON\r\nURL=https://support.example/\r\n");
    TForm1& window = open();
    std::string title;
    bool supportEnabled = false;
    AnswerModal(window, [&](QWidget& dialog) {
        auto* box = qobject_cast<TAboutBox*>(&dialog);
        title = Text(dialog.windowTitle());
        supportEnabled = box != nullptr && box->BitBtn1->isEnabled();
        EXPECT_EQ(dialog.parentWidget(), &window);
        dialog.close();
    });
    window.N1->trigger();
    EXPECT_EQ(title, "バージョン情報");
    EXPECT_TRUE(supportEnabled);
}

// The dialog shows the settings read at start, refuses a limit of 0 and stores what OK takes. The next run
// looks in lib/ before other/ and stops after six blocks: LOOP.NC's lines 1 and 2, then lib/O9000's two lines
// twice, so X ends at 2 and the third pass's line 1 is where it stopped (all five passes would end at 5).
TEST_F(WindowDialogsTest, SettingsMenuSetsTheFoldersAndLimitOfTheNextRuns) {
    fs::create_directories(folder.file("lib"));
    fs::create_directories(folder.file("other"));
    folder.write("lib/O9000.nc", "G91 X1.\nG90 M99\n");
    folder.write("other/O9000.nc", "G01 X50.\nM99\n");
    const std::string nc = folder.write("LOOP.NC", "G01 X0 Y0 Z0 F100\nM98 P9000 L5\nM30\n");
    const SettingsBesideProgram settings("[MACRO]\r\nLIBRARY1=" + folder.file("other") +
                                         "\r\nMAXBLOCKS=100\r\n");
    TForm1& window = open({nc});
    AnswerModal(window, [&](QWidget& dialog) {
        MacroSettingsBox& box = *qobject_cast<SettingsDialog*>(&dialog)->Macro;
        QPushButton& ok = *qobject_cast<SettingsDialog*>(&dialog)->Buttons->button(QDialogButtonBox::Ok);
        EXPECT_EQ(Text(box.Folders->item(0)->text()), folder.file("other"));
        EXPECT_EQ(Text(box.MaxBlocksEdit->text()), "100");
        box.MaxBlocksEdit->setText(QStringLiteral("0"));
        ok.click();
        EXPECT_TRUE(dialog.isVisible() && box.Problem->isVisible());
        box.chooseFolder = [this](const QString&) { return QString::fromStdString(folder.file("lib")); };
        box.AddFolder->click();
        box.MoveUp->click();
        box.MaxBlocksEdit->setText(QStringLiteral("６"));
        ok.click();
        dialog.close();  // only if OK was refused, so that the test fails instead of waiting
    });
    window.Options1->trigger();
    EXPECT_EQ(LoadWindowSettings(settings.path).macro,
              (MacroSettings{{folder.file("lib"), folder.file("other")}, 6}));
    window.Start->click();
    EXPECT_NE(memoText().find("\n    実行ブロック数の上限で停止 ×1 (最初: O9000.nc 1行目)"),
              std::string::npos);
    EXPECT_NE(ReadBytes(folder.file("LOOP.DXF")).find("Xmin:0 Xmax:2"), std::string::npos);
}

// OK stores the unit boxes, and the next run reads a program without G20 in inch: X1. ends at 25.4 mm.
TEST_F(WindowDialogsTest, SettingsMenuSetsTheUnitsOfTheNextRuns) {
    const std::string nc = folder.write("INCH.NC", "G01 X1. F100\n");
    const SettingsBesideProgram settings("[UNITS]\r\nINCH=OFF\r\n");
    TForm1& window = open({nc});
    AnswerModal(window, [&](QWidget& dialog) {
        SettingsDialog& settingsDialog = *qobject_cast<SettingsDialog*>(&dialog);
        EXPECT_EQ(Text(settingsDialog.Units->Inch->text()), "単位の既定: インチ");
        settingsDialog.Units->Inch->click();
        settingsDialog.Buttons->button(QDialogButtonBox::Ok)->click();
        dialog.close();  // only if OK was refused, so that the test fails instead of waiting
    });
    window.Options1->trigger();
    EXPECT_EQ(LoadWindowSettings(settings.path).units, (UnitOptions{true, false}));
    window.Start->click();
    EXPECT_EQ(memoText(), kMemoHeadings + "\n設定: 単位の既定: インチ");
    EXPECT_NE(ReadBytes(folder.file("INCH.DXF")).find("Xmin:0 Xmax:25.4"), std::string::npos);
}

}  // namespace
