#include "conversion/BlockDispatch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct TrimCase {
    const char* label;
    std::string piece;
    std::string text;
};

void PrintTo(const TrimCase& c, std::ostream* os) {
    *os << c.label;
}

class TrimLineTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimLineTest, KeepsTheTextUpToItsLastVisibleByte) {
    std::string buffer = GetParam().piece + '!';  // the writable byte after the piece
    const std::size_t length = TrimLine(buffer.data(), GetParam().piece.size());
    EXPECT_EQ(std::string(buffer.data(), length), GetParam().text);
    EXPECT_EQ(buffer[length], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TrimLineTest,
    ::testing::Values(TrimCase{"TrailingBlanksAndLineEnd", "N10 G01 X10.   \n", "N10 G01 X10."},
                      TrimCase{"LeadingBlanksStay", "  G00 X1.\n", "  G00 X1."},
                      TrimCase{"BlanksOnly", "    \n", ""},
                      TrimCase{"TabsCarriageReturnsAndControls", "X1.\t\r\x01\x1f \n", "X1."},
                      TrimCase{"CodePage932ByteAtTheEndStays", "(\x95\x5c\x81\x40", "(\x95\x5c\x81\x40"},
                      TrimCase{"HighByteIsNotAControl", "X1.\xA0", "X1.\xA0"}, TrimCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
