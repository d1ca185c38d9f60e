#include "app/StopSignals.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>

#include "app/tests/WindowFixture.h"

namespace {

// SIGTERM in the middle of a run: the run drops its drawing, the earlier one stays, nothing asks the user
// anything, and the window closes.
TEST_F(WindowTest, StopSignalDuringARunKeepsTheEarlierDrawingAndClosesTheWindow) {
    const std::string nc = ncProgram("PART1.NC", 20);
    const std::string dxf = folder.write("PART1.DXF", "earlier drawing");
    TForm1& window = open({nc});
    window.show();
    const StopSignals stopSignals(window);
    const AtLine atLine(window, 10, [] { std::raise(SIGTERM); });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_LT(std::stoi(text(window.edNum->text())), 20);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadBytes(dxf), "earlier drawing");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
