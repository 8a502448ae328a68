// Cursor control on POSIX terminals through ANSI escape sequences: the position is asked for
// with a device status report and restored with a cursor position command.
#include "console/console_progress.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <initializer_list>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool is_terminal = false;
// Cleared once the terminal fails to answer a position request, so a terminal that does not
// speak the protocol costs one short wait per run, not one per resource file.
bool does_terminal_answer = true;

constexpr int REPLY_TIMEOUT_MS = 300;

bool write_all(int fd, const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, text, length);
        if (written <= 0) {
            return false;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads the reply "ESC [ row ; column R" from `fd`, skipping any bytes before it (keys the user
// typed ahead). Gives up when the deadline passes.
bool read_position_reply(int fd, int& row, int& column) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(REPLY_TIMEOUT_MS);
    int state = 0;  // 0: before ESC, 1: after ESC, 2: in the row, 3: in the column
    int values[2] = {0, 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd request{fd, POLLIN, 0};
        if (poll(&request, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            return false;
        }
        if (c == '\033') {
            state = 1;
            values[0] = values[1] = 0;
        } else if (state == 1) {
            state = c == '[' ? 2 : 0;
        } else if (state >= 2 && c >= '0' && c <= '9') {
            int& value = values[state - 2];
            if (value < 100000) {
                value = value * 10 + (c - '0');
            }
        } else if (state == 2 && c == ';') {
            state = 3;
        } else if (state == 3 && c == 'R') {
            row = values[0];
            column = values[1];
            return true;
        } else {
            state = 0;
        }
    }
}

// The controlling terminal, opened for the position request, or -1 when the request can't be
// made: the reply arrives as input on the controlling terminal, so that must be the terminal
// standard output shows (else the reply would be typed into another one), and this process must
// be in its foreground (a background job would be stopped for changing its modes).
int open_own_terminal() {
    // tcgetsid() fails for a terminal that is not the controlling one.
    if (tcgetsid(STDOUT_FILENO) != getsid(0) || tcgetpgrp(STDOUT_FILENO) != getpgrp()) {
        return -1;
    }
    return open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
}

// Sends the device status report request and reads the cursor position from the reply.
bool ask_position(int tty, int& row, int& column) {
    termios saved{};
    if (tcgetattr(tty, &saved) != 0) {
        return false;
    }
    // Without canonical mode the reply is readable at once; without echo it stays off screen.
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    // Signals that end or stop the tool wait until the modes are back, so that the terminal is
    // never left without echo and line editing.
    sigset_t deferred;
    sigset_t previous;
    sigemptyset(&deferred);
    for (const int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP}) {
        sigaddset(&deferred, signal);
    }
    sigprocmask(SIG_BLOCK, &deferred, &previous);
    const bool has_answered = tcsetattr(tty, TCSANOW, &raw) == 0 &&
                              write_all(STDOUT_FILENO, "\033[6n", 4) &&
                              read_position_reply(tty, row, column);
    tcsetattr(tty, TCSANOW, &saved);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return has_answered;
}

}  // namespace

void prepare_console() {
    is_terminal = isatty(STDOUT_FILENO) == 1;
    if (is_terminal) {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    }
}

cursor_mark capture_cursor() {
    cursor_mark mark;
    if (!is_terminal || !does_terminal_answer) {
        return mark;
    }
    std::fflush(stdout);
    const int tty = open_own_terminal();
    int row = 0;
    int column = 0;
    const bool has_answered = tty >= 0 && ask_position(tty, row, column);
    if (tty >= 0) {
        close(tty);
    }
    if (!has_answered || row < 1 || column < 1) {
        does_terminal_answer = false;
        return mark;
    }
    mark.row = row;
    mark.column = column;
    return mark;
}

void return_cursor(const cursor_mark& mark) {
    if (!is_terminal || mark.row < 0) {
        return;
    }
    std::printf("\033[%d;%dH", mark.row, mark.column);
}
