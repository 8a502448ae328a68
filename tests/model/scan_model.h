// A reference model of the scan, written the plainest way on purpose: one byte at a time, every
// byte past the data read as a zero slack byte. The real scanner may be as clever and fast as it
// likes; it must always find what this model finds.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "extraction/sound_scanner.h"

// The image whose header starts exactly at `offset`, if one does: "RIFF" there and "WAVE" or
// "MIDS" eight bytes on, the length being the 32-bit size field + 8, cut to the bytes present.
// Reads only the `size` bytes at `data`.
bool model_image_at(const unsigned char* data, std::int64_t size, std::int64_t offset,
                    found_image& image);

// The first image whose header starts at or after `from` (which may be negative or past the
// end), tried one offset after another. Returns false when there is none.
bool model_next_image(const unsigned char* data, std::int64_t size, std::int64_t from,
                      found_image& image);

// Every image one scan of the `size` bytes at `data` stores, in order. After an image the scan
// goes on at the first byte beyond it; an image cut off by the end of the data is the last.
std::vector<found_image> model_scan(const unsigned char* data, std::int64_t size);

// Images are the same when offset, length and kind are.
bool operator==(const found_image& a, const found_image& b);
std::ostream& operator<<(std::ostream& out, const found_image& image);
