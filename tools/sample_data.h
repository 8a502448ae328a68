// Synthetic game data for the demo, the tests and the benchmark: RIFF images built from explicit
// fields, a playable wave sound and MIDI stream, filler and decoys, and resource files laid out
// from them together with the list of the sounds they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using bytes = std::vector<unsigned char>;

// The pieces one after another.
bytes join(std::initializer_list<bytes> pieces);

// The bytes of a literal, embedded zero bytes included.
template <std::size_t N>
bytes text(const char (&literal)[N]) {
    return bytes(literal, literal + N - 1);
}

// A RIFF image, field by field. Any field may be set to nonsense, to build decoys and damage.
struct riff_fields {
    std::string tag = "RIFF";        // offset 0: four bytes, "RIFF" for a real image
    std::int64_t size_field = -1;    // offset 4: little-endian 32 bits; -1 means body size + 4
    std::string form_type = "WAVE";  // offset 8: four bytes, "WAVE" and "MIDS" are sounds
    bytes body;                      // offset 12 on: the image's content, never interpreted
};

bytes build_riff(const riff_fields& fields);

// A 16-bit mono PCM wave image playing the given frequencies together for `seconds`.
bytes make_wave_sound(const std::vector<double>& frequencies, double seconds,
                      std::uint32_t sample_rate = 22050);

// A MIDI stream image ("MIDS") playing `notes` (MIDI note numbers) one after another on a piano.
bytes make_midi_stream(const std::vector<int>& notes, std::uint32_t ticks_per_note = 48);

// A wave or MIDI stream image of exactly `length` bytes (at least 12) with a patterned body.
bytes make_sized_sound(const std::string& form_type, std::int64_t length);

// Deterministic pseudo-random bytes.
struct filler_source {
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    std::uint64_t next();
};
bytes make_filler(filler_source& source, std::int64_t length);

// Text dense with 'R' and "RIF" fragments, the worst case for a search that hunts for 'R'.
bytes make_r_text(std::int64_t length);

// One resource file being laid out, with the sounds placed in it so far.
struct placed_sound {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    std::string extension;  // "wav" or "mid"
};

struct resource_plan {
    bytes content;
    std::vector<placed_sound> sounds;
};

void append_bytes(resource_plan& plan, const bytes& piece);
// Appends a sound image and records it; its kind is read from its form type.
void append_sound(resource_plan& plan, const bytes& image);

// The demo folder: four sounds (a chord, a tune, a tone and a second tune) in three resource
// files, among filler and decoys (other form types, lone tags and text full of 'R').
std::vector<resource_plan> make_demo_folder();

// A resource file for the benchmark, of about `size` bytes, about `sound_share` of them in wave
// and MIDI stream images of a few KiB to a few MiB; the rest is filler with decoys: other form
// types, lone tags and text full of 'R'.
resource_plan make_bench_resource(filler_source& source, std::int64_t size, double sound_share);

// The list of sounds in a folder written by write_folder or write_resource, one line per sound:
// "<resource index> <offset> <length> <extension>".
constexpr const char* SOUND_LIST = "sounds.txt";

// Writes `plan` as <folder>/<index>.bin and adds its sounds to the folder's sound list. Returns
// false on any failure.
bool write_resource(const std::string& folder, std::size_t index, const resource_plan& plan);

// Creates `folder` and writes each plan as <index>.bin, with a fresh sound list.
bool write_folder(const std::string& folder, const std::vector<resource_plan>& plans);
