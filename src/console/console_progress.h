// The per-resource count shown at the end of a resource file's console line, rewritten in place
// as sound files are written. Each platform implements the cursor functions in a file of its own.
#pragma once

#include <cstdint>

// A console cursor position in the console's own coordinates. A negative row means the position
// is unknown (no console, or it did not answer), and returning to it does nothing.
struct cursor_mark {
    int column = -1;
    int row = -1;
};

// Finds out once whether standard output is a console and, when it is, makes text written to it
// reach the console at once. Call before anything is written.
void prepare_console();

// The position at which the next character written to the console would appear, or an unknown
// mark when there is no console to ask. Never waits more than a fraction of a second.
cursor_mark capture_cursor();

// Puts the console cursor at `mark`; does nothing for an unknown mark or without a console.
void return_cursor(const cursor_mark& mark);

// Returns to `mark` and writes "<count> files found" over the previous count text.
void show_found_count(const cursor_mark& mark, std::int64_t count);
