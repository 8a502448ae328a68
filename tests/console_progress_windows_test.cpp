// The console line when standard output is no console: the cursor calls fail harmlessly.
#include "console/console_progress.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ConsoleProgress, WithoutAConsoleTheCountTextsFollowOneAnother) {
    // Captured, standard output is a file, whatever the test runs in.
    testing::internal::CaptureStdout();
    std::printf("Scaning file \"0.bin\"... ");
    const cursor_mark mark = capture_cursor();
    show_found_count(mark, 1);
    show_found_count(mark, 2);
    // A mark from a console elsewhere: moving to it must not fail the run or write anything.
    show_found_count(cursor_mark{24, 3}, 3);
    const std::string written = testing::internal::GetCapturedStdout();
    EXPECT_LT(mark.row, 0);
    EXPECT_EQ(written, "Scaning file \"0.bin\"... 1 files found2 files found3 files found");
}

}  // namespace
