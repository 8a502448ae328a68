#include "extraction/sound_scanner.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "extraction/file_system.h"
#include "extraction/header_search.h"

namespace {

// The recognised form types, tested in this order, with the extension of their sound files.
struct sound_form {
    sound_kind kind;
    const char* form_type;
    const char* extension;
};

constexpr sound_form SOUND_FORMS[] = {
    {sound_kind::wave, "WAVE", "wav"},
    {sound_kind::midi_stream, "MIDS", "mid"},
};

constexpr std::size_t NAME_CAPACITY = 256;

bool has_tag(const unsigned char* bytes, const char* tag) {
    return std::memcmp(bytes, tag, 4) == 0;
}

std::uint32_t read_u32_le(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

const sound_form& form_of(sound_kind kind) {
    return kind == sound_kind::wave ? SOUND_FORMS[0] : SOUND_FORMS[1];
}

void format_sound_name(char (&name)[NAME_CAPACITY], sound_kind kind, std::int64_t number) {
    std::snprintf(name, sizeof name, "%s%csnd%04" PRId64 ".%s", SOUND_DIR, sound_path_separator(),
                  number, form_of(kind).extension);
}

}  // namespace

bool find_next_image(const unsigned char* data, std::int64_t size, std::int64_t from,
                     found_image& image) {
    // A sound needs its whole 12-byte header inside the data. Past the data lie only zero slack
    // bytes, which can never complete "WAVE" or "MIDS", so later offsets need no look.
    const std::int64_t last = size - RIFF_HEADER_SIZE;
    const std::int64_t offset =
        from > last ? -1 : find_sound_header(data, from < 0 ? 0 : from, last);
    if (offset < 0) {
        return false;
    }
    const unsigned char* header = data + offset;
    // The length is taken in 64 bits, so no size field can make it wrap. An image cut off by the
    // end of the data, or with a damaged size field, keeps what is present.
    const std::int64_t declared = std::int64_t{read_u32_le(header + 4)} + 8;
    const std::int64_t present = size - offset;
    image.offset = offset;
    image.length = declared < present ? declared : present;
    image.kind =
        has_tag(header + 8, SOUND_FORMS[0].form_type) ? SOUND_FORMS[0].kind : SOUND_FORMS[1].kind;
    return true;
}

write_result write_sound_file(const char* name, const unsigned char* first, std::int64_t length) {
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        return write_result::cannot_create;
    }
    // Unbuffered, so the bytes go from the resource buffer to the system without a copy.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const auto count = static_cast<std::size_t>(length);
    bool is_whole = std::fwrite(first, 1, count, file) == count;
    // Some C runtimes report success from fclose even when its final flush failed, so the flush
    // is checked on its own first.
    is_whole = std::fflush(file) == 0 && is_whole;
    is_whole = std::fclose(file) == 0 && is_whole;
    if (!is_whole) {
        std::remove(name);
        return write_result::cannot_write;
    }
    return write_result::written;
}

scan_result scan_resource(const resource_buffer& buffer, run_totals& totals,
                          const cursor_mark& mark, const sound_writer& write) {
    std::int64_t found_in_resource = 0;
    std::int64_t offset = 0;
    found_image image;
    while (find_next_image(buffer.data, buffer.size, offset, image)) {
        char name[NAME_CAPACITY];
        format_sound_name(name, image.kind, totals.files_found);
        const write_result result = write(name, buffer.data + image.offset, image.length);
        if (result == write_result::cannot_create) {
            std::printf("\nError - can't create file \"%s\"!\n\n", name);
            return scan_result::cannot_create;
        }
        if (result == write_result::cannot_write) {
            std::printf("\nError - can't write file \"%s\"!\n\n", name);
            return scan_result::cannot_create;
        }
        // The next image may begin right where this one ends; nothing inside it is looked at.
        offset = image.offset + image.length;
        ++totals.files_found;
        ++found_in_resource;
        show_found_count(mark, found_in_resource);
    }
    return scan_result::completed;
}
