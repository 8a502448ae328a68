// Records shared by the extraction run and the sound scanner: the run's counters, one loaded
// resource file, and the exit statuses.
#pragma once

#include <cstdint>

// Bytes kept after a resource file's data in its block. They are zero, so a header test at the
// last offsets of the data can never be completed by leftovers of an earlier file.
constexpr std::int64_t RESOURCE_SLACK = 128;

constexpr int EXIT_OK = 0;
constexpr int EXIT_NO_MEMORY = 1;
constexpr int EXIT_CANNOT_CREATE = 2;

// The run's counters. `resources_scanned` is also the number of the next resource file to try,
// `files_found` the number of the next sound file. 64-bit, so neither can overflow on any input.
struct run_totals {
    std::int64_t resources_scanned = 0;
    std::int64_t files_found = 0;
};

// One resource file in memory: `size` bytes of the file, followed by RESOURCE_SLACK zero bytes.
// The block belongs to the run; the scanner only reads it.
struct resource_buffer {
    const unsigned char* data = nullptr;
    std::int64_t size = 0;
};
