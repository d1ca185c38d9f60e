#include "conversion/DxfName.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* nc;
    const char* dxf;
};

class DxfNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DxfNameTest, ReplacesOnlyTheLastExtension) {
    EXPECT_EQ(DxfNameFor(GetParam().nc), GetParam().dxf);
}

INSTANTIATE_TEST_SUITE_P(Names, DxfNameTest,
                         ::testing::Values(NameCase{"D:\\NC\\PART1.NC", "D:\\NC\\PART1.DXF"},
                                           NameCase{"D:\\NC\\PROG", "D:\\NC\\PROG.DXF"},
                                           NameCase{"D:\\NC\\A.B.NC", "D:\\NC\\A.B.DXF"},
                                           NameCase{"/home/cnc/part.nc", "/home/cnc/part.DXF"},
                                           NameCase{"/home/cnc.d/part", "/home/cnc.d/part.DXF"},
                                           NameCase{"part.ngc", "part.DXF"}));

}  // namespace
