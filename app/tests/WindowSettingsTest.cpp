#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/WindowSettings.h"
#include "tests/support/TempFolder.h"

namespace {

struct LoadCase {
    const char* name;
    const char* content;
    MacroSettings expected;
    UnitOptions units = {};  // both off unless the row says
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadSettingsTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettingsTest, ReadsTheMacroAndUnitSections) {
    const TempFolder folder;
    const std::string settings = folder.write("plotra.INI", GetParam().content);
    EXPECT_EQ(LoadWindowSettings(settings), (WindowSettings{GetParam().expected, GetParam().units}));
}

INSTANTIATE_TEST_SUITE_P(
    Macro, LoadSettingsTest,
    testing::Values(
        LoadCase{"Empty", "", {{}, 100000000}},
        LoadCase{"Written",
                 "[macro]\r\nLibrary1=/nc/lib\r\nLIBRARY2=\" /nc/a b \"\r\nMAXBLOCKS = 2500\r\n",
                 {{"/nc/lib", " /nc/a b "}, 2500}},
        LoadCase{
            "ListEndsAtAGap", "[MACRO]\r\nLIBRARY1=/a\r\nLIBRARY2=\r\nLIBRARY3=/c\r\n", {{"/a"}, 100000000}},
        LoadCase{"OtherSectionIgnored", "[INIT]\r\nLIBRARY1=/a\r\nMAXBLOCKS=5\r\n", {{}, 100000000}},
        LoadCase{"LargestLimit", "[MACRO]\r\nMAXBLOCKS=9223372036854775807\r\n", {{}, 9223372036854775807}},
        LoadCase{"ZeroLimit", "[MACRO]\r\nMAXBLOCKS=0\r\n", {{}, 100000000}},
        LoadCase{"NegativeLimit", "[MACRO]\r\nMAXBLOCKS=-5\r\n", {{}, 100000000}},
        LoadCase{"LimitWithText", "[MACRO]\r\nMAXBLOCKS=12x\r\n", {{}, 100000000}},
        LoadCase{"LimitBeyond64Bits", "[MACRO]\r\nMAXBLOCKS=9223372036854775808\r\n", {{}, 100000000}},
        LoadCase{"UnitsOn", "[units]\r\nInch = ON\r\nCALCULATOR=\"ON\"\r\n", {{}, 100000000}, {true, true}},
        LoadCase{"UnitsNotExactlyOn", "[UNITS]\r\nINCH=on\r\nCALCULATOR=1\r\n", {{}, 100000000}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// Names with the characters the settings file treats specially come back as they were; a shorter list
// leaves nothing of the longer one behind, and the other sections stay.
TEST(SaveSettingsTest, RoundTripsAndReplacesALongerList) {
    const TempFolder folder;
    const std::string settings = folder.write("plotra.INI", "[INIT]\r\nNET=OFF\r\n");
    const WindowSettings written{{{"\"quoted\"", " blank ", "C:\\new", "{brace"}, 1000000000000},
                                 {true, false}};
    ASSERT_TRUE(SaveWindowSettings(written, settings));
    EXPECT_EQ(LoadWindowSettings(settings), written);

    const WindowSettings shorter{{{"/nc/lib"}, 7}, {false, true}};
    ASSERT_TRUE(SaveWindowSettings(shorter, settings));
    EXPECT_EQ(LoadWindowSettings(settings), shorter);
    EXPECT_EQ(ReadBytes(settings).rfind("[INIT]\r\nNET=OFF\r\n[MACRO]\r\nLIBRARY1=\"/nc/lib\"\r\n", 0), 0u);
    EXPECT_TRUE(ReadBytes(settings).ends_with("\r\nMAXBLOCKS=7\r\n[UNITS]\r\nINCH=OFF\r\nCALCULATOR=ON\r\n"));
    EXPECT_FALSE(SaveWindowSettings(shorter, folder.file("missing/plotra.INI")));
}

}  // namespace
