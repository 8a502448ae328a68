// The scanner's inner loop: the search for the next sound header ("RIFF", then "WAVE" or "MIDS"
// eight bytes on), vectorised where the processor allows, with a plain loop everywhere else.
#pragma once

#include <cstdint>
#include <vector>

// The first offset o in [from, last] at which data[o .. o+3] is "RIFF" and data[o+8 .. o+11] is
// "WAVE" or "MIDS"; -1 when there is none. Reads only data[from .. last + 11].
using header_search_function = std::int64_t (*)(const unsigned char* data, std::int64_t from,
                                                std::int64_t last);

// The fastest method this machine runs.
std::int64_t find_sound_header(const unsigned char* data, std::int64_t from, std::int64_t last);

// Every method this machine can run, the plain byte-at-a-time loop first, so that tests and
// benchmarks can hold the others against it.
struct header_search_method {
    const char* name;
    header_search_function find;
};
std::vector<header_search_method> available_header_searches();
