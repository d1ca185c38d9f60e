// The window tests run on Qt's offscreen platform, so they need no display.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/PlotraApplication.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    PlotraApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
