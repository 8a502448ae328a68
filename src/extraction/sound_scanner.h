// Finds the RIFF wave sounds and MIDI streams embedded in a loaded resource file and writes each
// one, byte for byte, as the next numbered sound file in "snd".
#pragma once

#include <cstdint>
#include <functional>

#include "console/console_progress.h"
#include "extraction/extraction_types.h"

// Embedded RIFF image layout (little-endian, at any byte offset):
//   offset 0, 4 bytes: the tag "RIFF"
//   offset 4, 4 bytes: size field, the number of bytes that follow it
//   offset 8, 4 bytes: form type, "WAVE" or "MIDS" for a sound
// An image is the size field + 8 bytes long; nothing past the form type is read.
constexpr std::int64_t RIFF_HEADER_SIZE = 12;

constexpr const char* SOUND_DIR = "snd";

enum class sound_kind { wave, midi_stream };

// One image found by find_next_image. `length` is what gets written: the size field + 8, or
// fewer when the image is cut off by the end of the data.
struct found_image {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    sound_kind kind = sound_kind::wave;
};

// Looks for the first wave or MIDI stream image that starts at or after `from` in the `size`
// bytes at `data`. Returns false when there is none. Reads nothing outside those bytes, so it
// is safe on any buffer; `from` may lie anywhere, even past the end.
bool find_next_image(const unsigned char* data, std::int64_t size, std::int64_t from,
                     found_image& image);

enum class write_result { written, cannot_create, cannot_write };

// Creates or replaces the file `name` and writes the `length` bytes at `first` in one write.
// cannot_create: the file could not be opened; cannot_write: the bytes or the close failed, and
// the partial file has been removed.
write_result write_sound_file(const char* name, const unsigned char* first, std::int64_t length);

// What the scanner calls to store each sound; write_sound_file in the tool, a recorder in tests.
using sound_writer =
    std::function<write_result(const char* name, const unsigned char* first, std::int64_t length)>;

enum class scan_result { completed, cannot_create };

// Scans `buffer` and stores each image found as "snd/snd%04d.wav" or ".mid" (with the platform's
// separator), numbered on from `totals.files_found`, which it advances; shows the count of this
// resource file at `mark` after each one. cannot_create: a sound file could not be created or
// not written whole; the error message has been written, the failed file is not counted, and
// the run must end.
scan_result scan_resource(const resource_buffer& buffer, run_totals& totals,
                          const cursor_mark& mark, const sound_writer& write = write_sound_file);
