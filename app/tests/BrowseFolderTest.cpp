// The browse dialogs and the folder button go where the names in the edits point.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <map>

#include "app/OpenFileDialog.h"
#include "app/tests/WindowFixture.h"

namespace {

// Names under the test's folder ("" is an empty edit): the NC and DXF edits, where the two dialogs open, and
// the folder button's message, if any, with the name it gives on its second line.
struct BrowseCase {
    const char* name;
    std::string nc, dxf, ncStart, dxfStart;
    bool fileManager;
    std::string message, messageName;
};

class BrowseFolderTest : public WindowTest, public testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseFolderTest, DialogsAndFolderButtonGoWhereTheNamesPoint) {
    const BrowseCase& c = GetParam();
    const auto in = [this](const std::string& name) { return name.empty() ? name : folder.file(name); };
    std::filesystem::create_directories(folder.file("out"));
    std::filesystem::create_directories(folder.file("nc"));
    folder.write("nc/A.NC", "G00 X0\n");
    fileManagerFound = c.fileManager;
    TForm1& window = open();
    typeNames(in(c.nc), in(c.dxf));
    window.NcFileBtn->click();
    window.DxfFileBtn->click();
    window.SpeedButton1->click();
    EXPECT_EQ(startFolders, (std::vector{in(c.ncStart), in(c.dxfStart)}));
    EXPECT_EQ(foldersOpened, c.ncStart.empty() ? std::vector<std::string>() : std::vector{in(c.ncStart)});
    std::vector<ShownMessage> said;
    if (!c.message.empty()) {
        said.push_back({"メッセージ", c.message + (c.messageName.empty() ? "" : "\n" + in(c.messageName))});
    }
    EXPECT_EQ(messages, said);
    EXPECT_EQ(text(window.SpeedButton1->toolTip()), "NCファイルのフォルダを開く");
}

INSTANTIATE_TEST_SUITE_P(
    Names, BrowseFolderTest,
    testing::Values(BrowseCase{"ExistingFiles", "nc/A.NC", "out/A.DXF", "nc", "out", true, "", ""},
                    BrowseCase{"FoldersAndNewFiles", "nc/", "out/NEW.DXF", "nc", "out", true, "", ""},
                    BrowseCase{"MissingFolders", "none/A.NC", "none/A.DXF", "", "", true,
                               "NCファイルのフォルダが見つかりません。", "none/A.NC"},
                    BrowseCase{"EmptyNames", "", "", "", "", true, "NCファイル名を入力してください。", ""},
                    BrowseCase{"NoFileManager", "nc/A.NC", "", "nc", "", false,
                               "ファイルマネージャーが見つからないため、フォルダを開けません。", "nc"}),
    [](const testing::TestParamInfo<BrowseCase>& info) { return std::string(info.param.name); });

// The real dialog: the NC extensions pass the NC filter in any case, other files do not, and the dates are
// written the Japanese way whatever the system's locale.
TEST(OpenFileDialog, ListsNcFilesOfEveryCaseWithJapaneseDates) {
    const TempFolder folder;
    for (const char* name : {"a.nc", "B.NC", "c.Ngc", "d.TAP", "e.cnc", "f.NTD", "g.txt", "h.dxf"}) {
        QFile file(QString::fromStdString(folder.write(name, "G00 X0\n")));
        ASSERT_TRUE(
            file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFile::FileModificationTime));
    }
    OpenFileDialog dialog(nullptr, QString::fromUtf8(kNcFilter),
                          QString::fromStdString(folder.path().string()));
    dialog.show();
    const QTreeView& list = *dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    const QAbstractItemModel& files = *list.model();
    // The list fills in the background; a filter that lets through too much or too little shows below.
    (void)QTest::qWaitFor([&] { return files.rowCount(list.rootIndex()) == 6; });
    std::map<std::string, std::string> dates;
    for (int row = 0; row < files.rowCount(list.rootIndex()); ++row) {
        const QModelIndex file = files.index(row, 0, list.rootIndex());
        dates[file.data().toString().toStdString()] = file.siblingAtColumn(3).data().toString().toStdString();
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
