#include "cli/ConsoleHost.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

TEST(ConsoleHost, InterruptStopsTheRunAndDeletesNothing) {
    TempFolder folder;
    const std::string dxf = folder.write("PART.DXF", "earlier drawing");
    ConsoleHost host(false, true);
    host.beginFile(folder.file("PART.NC"));
    host.setRunning(true);
    ConsoleHost::catchInterrupts();

    host.handlePendingEvents();
    EXPECT_TRUE(host.running());
    EXPECT_FALSE(ConsoleHost::interrupted());

    std::raise(SIGINT);
    testing::internal::CaptureStderr();
    host.handlePendingEvents();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "plotra-convert: 強制終了します。\n");
    EXPECT_TRUE(ConsoleHost::interrupted());
    EXPECT_FALSE(host.running());
    EXPECT_EQ(ReadBytes(dxf), "earlier drawing");
}

}  // namespace
