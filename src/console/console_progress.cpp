#include "console/console_progress.h"

#include <cinttypes>
#include <cstdio>

void show_found_count(const cursor_mark& mark, std::int64_t count) {
    return_cursor(mark);
    // The count only grows, so each text is at least as long as the one it covers.
    std::printf("%" PRId64 " files found", count);
}
