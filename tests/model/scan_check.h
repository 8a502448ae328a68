// Holds the real scanner to the reference model and to the rules every result must obey, on any
// bytes at all. Shared by the property test and the fuzz target; each check returns a text that
// names the first problem, or an empty text when there is none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "extraction/sound_scanner.h"

// What one scan_resource call handed to its writer, and how it ended.
struct recorded_scan {
    scan_result result = scan_result::completed;
    std::vector<found_image> images;  // kind taken from the file name's extension
    std::vector<std::string> names;
    std::int64_t files_found = 0;  // the run's count after the scan
};

// Scans `buffer` with scan_resource and a writer that records instead of creating files, numbering
// from `first_number`. Image offsets count from `buffer.data`. The count texts go to standard
// output.
recorded_scan record_scan(const resource_buffer& buffer, std::int64_t first_number);

// Checks a list of images said to be the result of scanning the `size` bytes at `data`: each
// lies within the data, starts with "RIFF", has the kind its form type names and the length its
// size field gives (cut to the bytes present, and only the last may be cut), they come in
// increasing order without overlap, and the list is exactly the model's.
std::string check_images(const unsigned char* data, std::int64_t size,
                         const std::vector<found_image>& images);

// A search with the form of find_next_image.
using image_search = bool (*)(const unsigned char* data, std::int64_t size, std::int64_t from,
                              found_image& image);

// Runs `search` over a copy of the data in a block of exactly `size` bytes, so a memory checker
// catches any read past it: from a negative start; from each header's own offset, the byte after
// it and its end; from the end and beyond. Every answer must be the model's.
std::string check_search(const unsigned char* data, std::int64_t size, image_search search);

// Runs every method of the header search (available_header_searches) over a block of exactly
// `size` bytes, from the start and from one byte after each header found; each must find the
// model's headers in turn.
std::string check_header_searches(const unsigned char* data, std::int64_t size);

// All of the above for the real scanner. scan_resource (names, count and result included) runs
// on the data as the run loads a resource file, through a file into a block kept from one call
// to the next, and on a copy followed by zeroed slack; find_next_image and the header searches
// run on the data without slack.
std::string check_scan(const unsigned char* data, std::int64_t size);
