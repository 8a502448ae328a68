#include "scan_check.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>

#include "extraction/extraction_types.h"
#include "extraction/file_system.h"
#include "scan_model.h"

namespace {

// Where the numbering of the recorded scans starts: close enough to 9999 that a few images take
// the names past four digits.
constexpr std::int64_t FIRST_NUMBER = 9995;

std::string describe(const found_image& image) {
    std::ostringstream text;
    text << image;
    return text.str();
}

std::string describe(const std::vector<found_image>& images) {
    std::string text = "[";
    for (const found_image& image : images) {
        text += (text.size() > 1 ? ", " : "") + describe(image);
    }
    return text + "]";
}

bool has_text_at(const unsigned char* bytes, const char* text) {
    return std::memcmp(bytes, text, 4) == 0;
}

std::string expected_name(sound_kind kind, std::int64_t number) {
    char name[64];
    std::snprintf(name, sizeof name, "snd%csnd%04" PRId64 ".%s", sound_path_separator(), number,
                  kind == sound_kind::wave ? "wav" : "mid");
    return name;
}

// The rules one image obeys on its own, whatever else was found.
std::string check_one_image(const unsigned char* data, std::int64_t size,
                            const found_image& image) {
    if (image.offset < 0 || image.offset > size - RIFF_HEADER_SIZE) {
        return "header not wholly within the data";
    }
    if (image.length <= 0 || image.length > size - image.offset) {
        return "runs past the end of the data";
    }
    const unsigned char* header = data + image.offset;
    if (!has_text_at(header, "RIFF")) {
        return "does not start with \"RIFF\"";
    }
    const bool is_wave = has_text_at(header + 8, "WAVE");
    if (!is_wave && !has_text_at(header + 8, "MIDS")) {
        return "form type is neither \"WAVE\" nor \"MIDS\"";
    }
    if (is_wave != (image.kind == sound_kind::wave)) {
        return "kind differs from the form type";
    }
    const std::int64_t size_field = std::int64_t{header[4]} | std::int64_t{header[5]} << 8 |
                                    std::int64_t{header[6]} << 16 | std::int64_t{header[7]} << 24;
    const std::int64_t present = size - image.offset;
    if (image.length != (size_field + 8 < present ? size_field + 8 : present)) {
        return "length is not the size field + 8 cut to the bytes present";
    }
    return "";
}

}  // namespace

recorded_scan record_scan(const unsigned char* data, std::int64_t size, std::int64_t first_number) {
    std::vector<unsigned char> block(static_cast<std::size_t>(size + RESOURCE_SLACK), 0);
    if (size > 0) {
        std::memcpy(block.data(), data, static_cast<std::size_t>(size));
    }
    const resource_buffer buffer{block.data(), size};
    recorded_scan scan;
    const sound_writer recorder = [&](const char* name, const unsigned char* first,
                                      std::int64_t length) {
        const std::size_t name_length = std::strlen(name);
        const bool is_midi = name_length >= 4 && std::strcmp(name + name_length - 4, ".mid") == 0;
        scan.images.push_back(
            {first - buffer.data, length, is_midi ? sound_kind::midi_stream : sound_kind::wave});
        scan.names.emplace_back(name);
        return write_result::written;
    };
    run_totals totals;
    totals.files_found = first_number;
    scan.result = scan_resource(buffer, totals, cursor_mark{}, recorder);
    scan.files_found = totals.files_found;
    return scan;
}

std::string check_images(const unsigned char* data, std::int64_t size,
                         const std::vector<found_image>& images) {
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string problem = check_one_image(data, size, images[i]);
        if (!problem.empty()) {
            return "image " + std::to_string(i) + " " + describe(images[i]) + ": " + problem;
        }
        if (i > 0 && images[i].offset < images[i - 1].offset + images[i - 1].length) {
            return "image " + std::to_string(i) + " " + describe(images[i]) +
                   ": overlaps or comes before the one before it";
        }
    }
    const std::vector<found_image> expected = model_scan(data, size);
    for (std::size_t i = 0; i < images.size() || i < expected.size(); ++i) {
        if (i >= images.size() || i >= expected.size() || !(images[i] == expected[i])) {
            return "differs from the model at image " + std::to_string(i) + ": found " +
                   describe(images) + ", the model finds " + describe(expected);
        }
    }
    return "";
}

std::string check_search(const unsigned char* data, std::int64_t size, image_search search) {
    const std::vector<unsigned char> exact(data, data + size);
    const auto compare_from = [&](std::int64_t from) {
        found_image got;
        found_image expected;
        const bool is_found = search(exact.data(), size, from, got);
        const bool is_expected = model_next_image(data, size, from, expected);
        if (is_found == is_expected && (!is_found || got == expected)) {
            return std::string();
        }
        return "search from " + std::to_string(from) + " found " +
               (is_found ? describe(got) : "nothing") + ", the model finds " +
               (is_expected ? describe(expected) : "nothing");
    };
    // Every header in turn, each also searched for from its own offset and from its end, where
    // a scan goes on after it; then from past the last one, the end and beyond.
    std::int64_t from = -3;
    found_image image;
    while (model_next_image(data, size, from, image)) {
        for (const std::int64_t start : {from, image.offset, image.offset + image.length}) {
            const std::string problem = compare_from(start);
            if (!problem.empty()) {
                return problem;
            }
        }
        from = image.offset + 1;
    }
    for (const std::int64_t start :
         {from, size, size + 1, std::numeric_limits<std::int64_t>::max()}) {
        const std::string problem = compare_from(start);
        if (!problem.empty()) {
            return problem;
        }
    }
    return "";
}

std::string check_scan(const unsigned char* data, std::int64_t size) {
    const recorded_scan scan = record_scan(data, size, FIRST_NUMBER);
    if (scan.result != scan_result::completed) {
        return "the scan did not complete";
    }
    if (scan.files_found != FIRST_NUMBER + static_cast<std::int64_t>(scan.images.size())) {
        return "the run's count is not advanced once per image";
    }
    for (std::size_t i = 0; i < scan.names.size(); ++i) {
        const std::string expected =
            expected_name(scan.images[i].kind, FIRST_NUMBER + static_cast<std::int64_t>(i));
        if (scan.names[i] != expected) {
            return "image " + std::to_string(i) + " is named \"" + scan.names[i] + "\", not \"" +
                   expected + "\"";
        }
    }
    std::string problem = check_images(data, size, scan.images);
    if (problem.empty()) {
        problem = check_search(data, size, find_next_image);
    }
    return problem;
}
