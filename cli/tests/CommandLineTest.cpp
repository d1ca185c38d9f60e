#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

struct UsageErrorCase {
    const char* label;
    Args arguments;
};

void PrintTo(const UsageErrorCase& c, std::ostream* os) {
    *os << c.label;
}

class UsageErrorTest : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(UsageErrorTest, IsRefused) {
    EXPECT_FALSE(ParseCommandLine(GetParam().arguments).error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrorTest,
    ::testing::Values(UsageErrorCase{"NoFile", {}}, UsageErrorCase{"OnlyQuiet", {"-q"}},
                      UsageErrorCase{"OutputWithTwoFiles", {"-o", "X.DXF", "A.NC", "B.NC"}},
                      UsageErrorCase{"OutputWithoutName", {"A.NC", "-o"}},
                      UsageErrorCase{"PictureWithTwoFiles", {"--svg", "X.svg", "A.NC", "B.NC"}},
                      UsageErrorCase{"EmptyHeaderName", {"--header=", "A.NC"}},
                      UsageErrorCase{"UnknownOption", {"--frobnicate", "A.NC"}},
                      UsageErrorCase{"LibraryWithoutFolder", {"A.NC", "--library"}},
                      UsageErrorCase{"NoBlocks", {"--max-blocks", "0", "A.NC"}},
                      UsageErrorCase{"NegativeBlocks", {"--max-blocks=-5", "A.NC"}},
                      UsageErrorCase{"BlocksNotWhole", {"--max-blocks", "1e6", "A.NC"}},
                      UsageErrorCase{"BlocksBeyondRange", {"--max-blocks", "9223372036854775808", "A.NC"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CommandLine, TakesFilesInOrderWithTheirOptions) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"--header", "h.dat", "A.NC", "--footer=f.dat", "-q", "B.NC", "--", "-C.NC"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.ncFiles, (Args{"A.NC", "B.NC", "-C.NC"}));
    EXPECT_EQ(parsed.options.hedderFile, "h.dat");
    EXPECT_EQ(parsed.options.footerFile, "f.dat");
    EXPECT_TRUE(parsed.options.quiet);
    EXPECT_TRUE(parsed.options.outputFile.empty());
}

TEST(CommandLine, LibraryFoldersInTheirOrderAndABlockLimit) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"--library", "b", "A.NC", "--library=a", "--max-blocks=7"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.libraryFolders, (Args{"b", "a"}));
    EXPECT_EQ(parsed.options.maxBlocks, 7);
}

TEST(CommandLine, UnitOptionsAreOffUnlessGiven) {
    EXPECT_FALSE(ParseCommandLine({"A.NC"}).options.units.inchByDefault);
    EXPECT_FALSE(ParseCommandLine({"A.NC"}).options.units.calculatorDecimals);
    const ParsedCommandLine parsed = ParseCommandLine({"--inch", "A.NC", "--calculator-decimals"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_TRUE(parsed.options.units.inchByDefault);
    EXPECT_TRUE(parsed.options.units.calculatorDecimals);
}

TEST(CommandLine, OutputGoesWithOneFile) {
    const ParsedCommandLine parsed = ParseCommandLine({"A.NC", "-o", "OUT.dxf"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.outputFile, "OUT.dxf");
}

TEST(CommandLine, HelpAndVersionNeedNoFile) {
    EXPECT_TRUE(ParseCommandLine({"--help"}).options.help);
    EXPECT_TRUE(ParseCommandLine({"-h"}).error.empty());
    EXPECT_TRUE(ParseCommandLine({"--version"}).options.version);
}

TEST(CommandLine, AnEmptyNameIsAFileForTheRunToRefuse) {
    const ParsedCommandLine parsed = ParseCommandLine({""});
    ASSERT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.options.ncFiles, (Args{""}));
}

}  // namespace
