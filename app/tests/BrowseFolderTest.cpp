// The browse dialogs and the folder button go where the names in the edits point.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/OpenFileDialog.h"
#include "app/tests/WindowFixture.h"

namespace {

namespace fs = std::filesystem;

// Names relative to the test's folder, "" for an empty edit; where the NC and DXF dialogs open, and the
// message of a folder button that opens nothing (the NC name follows it on a line of its own).
struct BrowseCase {
    const char* name;
    std::string nc;
    std::string dxf;
    std::string ncStart;
    std::string dxfStart;
    std::string buttonMessage;
};

void PrintTo(const BrowseCase& c, std::ostream* out) {
    *out << c.name;
}

class BrowseFolderTest : public WindowTest, public testing::WithParamInterface<BrowseCase> {
protected:
    std::string inFolder(const std::string& name) const { return name.empty() ? name : folder.file(name); }
};

TEST_P(BrowseFolderTest, DialogsAndFolderButtonStartWhereTheNamesPoint) {
    fs::create_directories(folder.file("progs"));
    fs::create_directories(folder.file("out"));
    folder.write("progs/A.NC", "G00 X0\n");
    TForm1& window = open();
    typeNames(inFolder(GetParam().nc), inFolder(GetParam().dxf));
    window.NcFileBtn->click();
    window.DxfFileBtn->click();
    EXPECT_EQ(startFolders, (std::vector{inFolder(GetParam().ncStart), inFolder(GetParam().dxfStart)}));

    window.SpeedButton1->click();
    if (GetParam().buttonMessage.empty()) {
        EXPECT_EQ(foldersOpened, std::vector{inFolder(GetParam().ncStart)});
        EXPECT_TRUE(messages.empty());
    } else {
        EXPECT_TRUE(foldersOpened.empty());
        const std::string named = GetParam().nc.empty() ? "" : "\n" + inFolder(GetParam().nc);
        EXPECT_EQ(messages, (std::vector<ShownMessage>{{"メッセージ", GetParam().buttonMessage + named}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, BrowseFolderTest,
    testing::Values(BrowseCase{"ExistingFiles", "progs/A.NC", "out/A.DXF", "progs", "out", ""},
                    BrowseCase{"Folders", "progs", "out/", "progs", "out", ""},
                    BrowseCase{"NewFilesInExistingFolders", "progs/NEW.NC", "progs/NEW.DXF", "progs", "progs",
                               ""},
                    BrowseCase{"MissingFolders", "none/A.NC", "none/A.DXF", "", "",
                               "NCファイルのフォルダが見つかりません。"},
                    BrowseCase{"EmptyNames", "", "", "", "", "NCファイル名を入力してください。"}),
    [](const testing::TestParamInfo<BrowseCase>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, FolderButtonSaysSoWhenNoFileManagerTakesTheFolder) {
    const std::string nc = folder.write("A.NC", "G00 X0\n");
    fileManagerFound = false;
    TForm1& window = open({nc});
    EXPECT_EQ(text(window.SpeedButton1->toolTip()), "NCファイルのフォルダを開く");
    window.SpeedButton1->click();
    EXPECT_EQ(foldersOpened, std::vector{folder.path().string()});
    EXPECT_EQ(messages,
              (std::vector<ShownMessage>{
                  {"メッセージ", "ファイルマネージャーが見つからないため、フォルダを開けません。\n" +
                                     folder.path().string()}}));
}

// The real dialog: every NC extension in any case passes the NC filter, other files do not, and the dates
// are written the Japanese way whatever the system's locale.
TEST(OpenFileDialog, ListsNcFilesOfEveryCaseWithJapaneseDates) {
    const TempFolder folder;
    const QDateTime changed(QDate(2024, 3, 5), QTime(14, 7));
    for (const char* name : {"a.nc", "B.NC", "c.Ngc", "d.TAP", "e.cnc", "f.NTD", "g.txt", "h.dxf"}) {
        QFile file(QString::fromStdString(folder.write(name, "G00 X0\n")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(changed, QFileDevice::FileModificationTime));
    }
    OpenFileDialog dialog(nullptr, QString::fromUtf8(kNcFilter),
                          QString::fromStdString(folder.path().string()));
    dialog.show();
    const auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(list, nullptr);
    const auto shown = [list] { return list->model()->rowCount(list->rootIndex()); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == 6; }));
    QTest::qWait(50);
    std::map<std::string, std::string> dates;
    for (int row = 0; row < shown(); ++row) {
        const QModelIndex name = list->model()->index(row, 0, list->rootIndex());
        dates[name.data().toString().toStdString()] = name.siblingAtColumn(3).data().toString().toStdString();
    }
    const std::string date = "2024/03/05 14:07";
    EXPECT_EQ(dates, (std::map<std::string, std::string>{{"a.nc", date},
                                                         {"B.NC", date},
                                                         {"c.Ngc", date},
                                                         {"d.TAP", date},
                                                         {"e.cnc", date},
                                                         {"f.NTD", date}}));
}

}  // namespace
