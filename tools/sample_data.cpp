#include "sample_data.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

void put_tag(bytes& out, const std::string& tag) {
    for (std::size_t i = 0; i < 4; ++i) {
        out.push_back(i < tag.size() ? static_cast<unsigned char>(tag[i]) : ' ');
    }
}

void put_u16(bytes& out, std::uint32_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xff));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void put_u32(bytes& out, std::uint32_t value) {
    put_u16(out, value & 0xffff);
    put_u16(out, value >> 16);
}

// A chunk: four-byte id, 32-bit size, content, and the pad byte that keeps chunks word-aligned.
void put_chunk(bytes& out, const std::string& id, const bytes& content) {
    put_tag(out, id);
    put_u32(out, static_cast<std::uint32_t>(content.size()));
    out.insert(out.end(), content.begin(), content.end());
    if (content.size() % 2 != 0) {
        out.push_back(0);
    }
}

constexpr double PI = 3.14159265358979323846;

}  // namespace

bytes join(std::initializer_list<bytes> pieces) {
    bytes out;
    for (const bytes& piece : pieces) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

bytes build_riff(const riff_fields& fields) {
    bytes image;
    put_tag(image, fields.tag);
    const std::int64_t size = fields.size_field >= 0
                                  ? fields.size_field
                                  : static_cast<std::int64_t>(fields.body.size()) + 4;
    put_u32(image, static_cast<std::uint32_t>(size));
    put_tag(image, fields.form_type);
    image.insert(image.end(), fields.body.begin(), fields.body.end());
    return image;
}

bytes make_wave_sound(const std::vector<double>& frequencies, double seconds,
                      std::uint32_t sample_rate) {
    bytes format;
    put_u16(format, 1);                // PCM
    put_u16(format, 1);                // one channel
    put_u32(format, sample_rate);      // samples per second
    put_u32(format, sample_rate * 2);  // bytes per second
    put_u16(format, 2);                // bytes per sample frame
    put_u16(format, 16);               // bits per sample

    const auto count = static_cast<std::uint32_t>(seconds * sample_rate);
    bytes samples;
    samples.reserve(count * 2);
    const double amplitude = 24000.0 / static_cast<double>(frequencies.size());
    for (std::uint32_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        // A short fade at both ends keeps the sound from clicking.
        const double fade = std::fmin(1.0, std::fmin(t, seconds - t) * 50.0);
        double value = 0;
        for (double frequency : frequencies) {
            value += std::sin(2 * PI * frequency * t);
        }
        const auto sample = static_cast<std::int16_t>(std::lround(value * amplitude * fade));
        put_u16(samples, static_cast<std::uint16_t>(sample));
    }

    riff_fields fields;
    put_chunk(fields.body, "fmt ", format);
    put_chunk(fields.body, "data", samples);
    return build_riff(fields);
}

bytes make_midi_stream(const std::vector<int>& notes, std::uint32_t ticks_per_note) {
    // Stream events: delta time in ticks, stream id, then the event word, whose high byte is
    // the event type (0: a short MIDI message in the low three bytes, 1: a tempo).
    bytes events;
    const auto put_event = [&events](std::uint32_t delta, std::uint32_t event) {
        put_u32(events, delta);
        put_u32(events, 0);
        put_u32(events, event);
    };
    put_event(0, 0x01000000u | 500000u);  // 120 beats per minute
    put_event(0, 0xC0u);                  // program change on channel 1: acoustic piano
    for (int note : notes) {
        const auto key = static_cast<std::uint32_t>(note) << 8;
        put_event(0, 0x90u | key | 100u << 16);             // note on, velocity 100
        put_event(ticks_per_note, 0x80u | key | 0u << 16);  // note off after one note's length
    }

    bytes format;
    put_u32(format, 96);                                         // ticks per quarter note
    put_u32(format, static_cast<std::uint32_t>(events.size()));  // largest block's buffer
    put_u32(format, 0);                                          // events carry a stream id
    bytes data;
    put_u32(data, 1);                                          // one block
    put_u32(data, 0);                                          // it starts at tick 0
    put_u32(data, static_cast<std::uint32_t>(events.size()));  // its bytes of events
    data.insert(data.end(), events.begin(), events.end());

    riff_fields fields;
    fields.form_type = "MIDS";
    put_chunk(fields.body, "fmt ", format);
    put_chunk(fields.body, "data", data);
    return build_riff(fields);
}

bytes make_sized_sound(const std::string& form_type, std::int64_t length) {
    riff_fields fields;
    fields.form_type = form_type;
    fields.body.resize(static_cast<std::size_t>(length - 12));
    for (std::size_t i = 0; i < fields.body.size(); ++i) {
        fields.body[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return build_riff(fields);
}

std::uint64_t filler_source::next() {
    // xorshift64*: fast, and the same bytes on every machine.
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Du;
}

bytes make_filler(filler_source& source, std::int64_t length) {
    bytes out(static_cast<std::size_t>(length));
    std::size_t i = 0;
    while (i < out.size()) {
        std::uint64_t word = source.next();
        for (int k = 0; k < 8 && i < out.size(); ++k, word >>= 8) {
            out[i++] = static_cast<unsigned char>(word);
        }
    }
    return out;
}

bytes make_r_text(std::int64_t length) {
    static const std::string pattern = "RRRR RIF RIFR RRIFF? RIFX RIRIF RRRRRRRR ";
    bytes out(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<unsigned char>(pattern[i % pattern.size()]);
    }
    return out;
}

void append_bytes(resource_plan& plan, const bytes& piece) {
    plan.content.insert(plan.content.end(), piece.begin(), piece.end());
}

void append_sound(resource_plan& plan, const bytes& image) {
    const bool is_midi = image.size() >= 12 && image[8] == 'M';
    plan.sounds.push_back({static_cast<std::int64_t>(plan.content.size()),
                           static_cast<std::int64_t>(image.size()), is_midi ? "mid" : "wav"});
    append_bytes(plan, image);
}

std::vector<resource_plan> make_demo_folder() {
    filler_source source;
    std::vector<resource_plan> plans(3);

    // 0.bin: an A major chord and a rising tune, among decoys of other form types.
    resource_plan& first = plans[0];
    append_bytes(first, make_filler(source, 3000));
    append_sound(first, make_wave_sound({440.0, 554.37, 659.25}, 1.5));
    append_bytes(first, make_filler(source, 777));
    riff_fields video;
    video.form_type = "AVI ";
    video.body = make_filler(source, 500);
    append_bytes(first, build_riff(video));
    append_bytes(first, make_r_text(1000));
    append_sound(first, make_midi_stream({60, 62, 64, 65, 67, 69, 71, 72}));
    append_bytes(first, make_filler(source, 2048));

    // 1.bin: no sound at all, only a palette image, a lone tag and filler.
    resource_plan& second = plans[1];
    append_bytes(second, make_filler(source, 4096));
    riff_fields palette;
    palette.form_type = "PAL ";
    palette.body = make_filler(source, 64);
    append_bytes(second, build_riff(palette));
    append_bytes(second, bytes{'R', 'I', 'F', 'F'});
    append_bytes(second, make_filler(source, 1000));

    // 2.bin: a plain tone and, right behind it, a falling tune.
    resource_plan& third = plans[2];
    append_bytes(third, make_filler(source, 123));
    append_sound(third, make_wave_sound({440.0}, 1.0));
    append_sound(third, make_midi_stream({72, 67, 64, 60}, 96));
    append_bytes(third, make_filler(source, 999));
    return plans;
}

resource_plan make_bench_resource(filler_source& source, std::int64_t size, double sound_share) {
    resource_plan plan;
    std::int64_t sound_bytes = 0;
    const auto pick = [&source](std::int64_t low, std::int64_t high) {
        return low +
               static_cast<std::int64_t>(source.next() % static_cast<std::uint64_t>(high - low));
    };
    while (static_cast<std::int64_t>(plan.content.size()) < size) {
        const auto position = static_cast<double>(plan.content.size());
        if (static_cast<double>(sound_bytes) < sound_share * position) {
            // Sizes spread evenly on a log scale from 4 KiB to 4 MiB.
            const double scale = static_cast<double>(source.next() % 1024) / 1024.0;
            const auto length = static_cast<std::int64_t>(4096.0 * std::pow(1024.0, scale));
            append_sound(plan, make_sized_sound(source.next() % 2 == 0 ? "WAVE" : "MIDS", length));
            sound_bytes += length;
            continue;
        }
        switch (source.next() % 8) {
            case 0: {
                static const char* const OTHER_FORMS[] = {"AVI ", "RMID", "PAL ", "WAVe"};
                riff_fields decoy;
                decoy.form_type = OTHER_FORMS[source.next() % 4];
                decoy.body = make_filler(source, pick(16, 20000));
                append_bytes(plan, build_riff(decoy));
                break;
            }
            case 1:
                append_bytes(plan, bytes{'R', 'I', 'F', 'F'});
                break;
            case 2:
                append_bytes(plan, make_r_text(pick(1000, 65536)));
                break;
            default:
                append_bytes(plan, make_filler(source, pick(4096, 262144)));
                break;
        }
    }
    return plan;
}

bool write_resource(const std::string& folder, std::size_t index, const resource_plan& plan) {
    const std::string name = folder + "/" + std::to_string(index) + ".bin";
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bytes& content = plan.content;
    bool is_ok =
        content.empty() || std::fwrite(content.data(), 1, content.size(), file) == content.size();
    is_ok = std::fclose(file) == 0 && is_ok;
    std::FILE* list = std::fopen((folder + "/" + SOUND_LIST).c_str(), "a");
    if (list == nullptr) {
        return false;
    }
    for (const placed_sound& sound : plan.sounds) {
        std::fprintf(list, "%zu %lld %lld %s\n", index, static_cast<long long>(sound.offset),
                     static_cast<long long>(sound.length), sound.extension.c_str());
    }
    return std::fclose(list) == 0 && is_ok;
}

bool write_folder(const std::string& folder, const std::vector<resource_plan>& plans) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::remove(folder + "/" + SOUND_LIST, error);
    if (!std::filesystem::is_directory(folder)) {
        return false;
    }
    bool is_ok = true;
    for (std::size_t index = 0; index < plans.size(); ++index) {
        is_ok = write_resource(folder, index, plans[index]) && is_ok;
    }
    return is_ok;
}
