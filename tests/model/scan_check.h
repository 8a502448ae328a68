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

// Copies the `size` bytes at `data` into a block followed by zeroed slack, as the run loads a
// resource file, and scans it with a writer that records instead of creating files. Numbering
// starts at `first_number`. The count texts go to standard output.
recorded_scan record_scan(const unsigned char* data, std::int64_t size, std::int64_t first_number);

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

// All of the above for the real scanner: scan_resource on the data with slack (names, count and
// result included) and find_next_image on the data without slack.
std::string check_scan(const unsigned char* data, std::int64_t size);
