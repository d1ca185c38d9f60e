#include "core/Templates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace {

// What each of the two folders holds under the name Hedder.dat.
enum class Holds { Nothing, Template, Folder };

struct FindCase {
    const char* name;
    Holds programFolder;
    Holds dataFolder;
    const char* expectedFolder;  // "program", "data" or "" for not found
};

void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

class FindTemplateTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTemplateTest, LooksBesideTheProgramFirstThenInTheDataFolder) {
    TempFolder root;
    const std::vector<std::string> folders = {root.file("bin") + "/", root.file("share/plotra") + "/"};
    const auto fill = [](const std::string& folder, Holds holds) {
        std::filesystem::create_directories(folder);
        if (holds == Holds::Template) {
            WriteBytes(folder + "Hedder.dat", "0\n");
        } else if (holds == Holds::Folder) {
            std::filesystem::create_directory(folder + "Hedder.dat");
        }
    };
    fill(folders[0], GetParam().programFolder);
    fill(folders[1], GetParam().dataFolder);

    const std::string expected = GetParam().expectedFolder;
    const std::string found = FindTemplateIn("Hedder.dat", folders);
    if (expected.empty()) {
        EXPECT_EQ(found, "");
    } else {
        EXPECT_EQ(found, folders[expected == "program" ? 0 : 1] + "Hedder.dat");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTemplateTest,
    testing::Values(FindCase{"BesideTheProgramWins", Holds::Template, Holds::Template, "program"},
                    FindCase{"OnlyInstalled", Holds::Nothing, Holds::Template, "data"},
                    FindCase{"AFolderOfThatNameIsNoTemplate", Holds::Folder, Holds::Template, "data"},
                    FindCase{"Nowhere", Holds::Nothing, Holds::Nothing, ""}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

// The installed data folder is share/plotra/ beside the program's bin/ folder.
TEST(TemplateFoldersTest, TheProgramsFolderFirstThenTheDataFolder) {
    const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(TemplateFolders(),
              (std::vector<std::string>{bin.string() + "/", bin.parent_path().string() + "/share/plotra/"}));
}

TEST(MissingTemplatesMessageTest, NamesTheTemplatesAndEveryFolderSearched) {
    EXPECT_EQ(MissingTemplatesMessage({"Hedder.dat", "Footer.dat"}, {"/opt/p/bin/", "/opt/p/share/plotra/"}),
              "テンプレート Hedder.dat、Footer.dat が見つかりません。探した場所: "
              "/opt/p/bin/、/opt/p/share/plotra/");
}

}  // namespace
