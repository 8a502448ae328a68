// Cursor control on the Windows console through the console's own calls: the position is read
// from the screen buffer and set on it. When standard output is a file or a pipe these calls
// fail, the mark stays unknown, and the count texts follow one another in the stream.
#include "console/console_progress.h"

#include <cstdio>

// libstdc++ for MinGW defines NOMINMAX as 1 already; the same definition repeated is no conflict.
#define NOMINMAX 1
#define WIN32_LEAN_AND_MEAN 1
#include <windows.h>

namespace {

HANDLE standard_output() {
    return GetStdHandle(STD_OUTPUT_HANDLE);
}

}  // namespace

void prepare_console() {
    DWORD mode = 0;
    if (GetConsoleMode(standard_output(), &mode) != 0) {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    }
}

cursor_mark capture_cursor() {
    cursor_mark mark;
    // Whatever the stream still holds belongs before the mark.
    std::fflush(stdout);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(standard_output(), &info) == 0) {
        return mark;
    }
    mark.column = info.dwCursorPosition.X;
    mark.row = info.dwCursorPosition.Y;
    return mark;
}

void return_cursor(const cursor_mark& mark) {
    if (mark.row < 0) {
        return;
    }
    std::fflush(stdout);
    const COORD position{static_cast<SHORT>(mark.column), static_cast<SHORT>(mark.row)};
    SetConsoleCursorPosition(standard_output(), position);
}
