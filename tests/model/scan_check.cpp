#include "scan_check.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>

#include "extraction/extraction_run.h"
#include "extraction/extraction_types.h"
#include "extraction/file_system.h"
#include "extraction/header_search.h"
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

// The rules of a whole scan of the data: completed, counted and named image by image, and
// images that pass check_images.
std::string check_recorded_scan(const unsigned char* data, std::int64_t size,
                                const recorded_scan& scan) {
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
    return check_images(data, size, scan.images);
}

// Loads the data as the run loads a resource file: written to a temporary file and read back
// by load_resource_file into a block kept from one call to the next
// as the run keeps it from one file to the next. Whatever the block held is first overwritten
// with sound headers, so a scan that looked past the data and its slack would find them. The
// loaded bytes and the zeroed slack are checked.
std::string load_like_the_run(const unsigned char* data, std::int64_t size,
                              resource_buffer& buffer) {
    static resource_block block;
    static const char HEADER[] = "RIFF\4\0\0\0WAVE";
    for (std::int64_t i = 0; i < block.capacity && i < size + 2 * RESOURCE_SLACK; ++i) {
        block.data[i] = static_cast<unsigned char>(HEADER[i % RIFF_HEADER_SIZE]);
    }
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        return "can't create a temporary file";
    }
    const auto length = static_cast<std::size_t>(size);
    const bool is_written =
        (size == 0 || std::fwrite(data, 1, length, file) == length) && std::fflush(file) == 0;
    const bool is_loaded = is_written && load_resource_file(file, block, buffer);
    std::fclose(file);
    if (!is_loaded) {
        return is_written ? "load_resource_file failed" : "can't write a temporary file";
    }
    if (buffer.size != size || (size > 0 && std::memcmp(buffer.data, data, length) != 0)) {
        return "load_resource_file did not load the data as it is";
    }
    for (std::int64_t i = 0; i < RESOURCE_SLACK; ++i) {
        if (buffer.data[size + i] != 0) {
            return "slack byte " + std::to_string(i) + " after the loaded data is not zero";
        }
    }
    return "";
}

}  // namespace

recorded_scan record_scan(const resource_buffer& buffer, std::int64_t first_number) {
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

std::string check_header_searches(const unsigned char* data, std::int64_t size) {
    const std::vector<unsigned char> exact(data, data + size);
    const std::int64_t last = size - RIFF_HEADER_SIZE;
    for (const header_search_method& method : available_header_searches()) {
        for (std::int64_t from = 0; from <= last;) {
            found_image image;
            const std::int64_t expected =
                model_next_image(data, size, from, image) ? image.offset : -1;
            const std::int64_t found = method.find(exact.data(), from, last);
            if (found != expected) {
                return std::string("the ") + method.name + " header search from " +
                       std::to_string(from) + " found " + std::to_string(found) +
                       ", the model finds " + std::to_string(expected);
            }
            if (found < 0) {
                break;
            }
            from = found + 1;
        }
    }
    return "";
}

std::string check_scan(const unsigned char* data, std::int64_t size) {
    resource_buffer loaded;
    std::string problem = load_like_the_run(data, size, loaded);
    if (problem.empty()) {
        problem = check_recorded_scan(data, size, record_scan(loaded, FIRST_NUMBER));
        problem = problem.empty() ? problem : "loaded as the run loads it: " + problem;
    }
    if (problem.empty()) {
        std::vector<unsigned char> block(data, data + size);
        block.resize(block.size() + RESOURCE_SLACK, 0);
        resource_buffer copied;
        copied.data = block.data();
        copied.size = size;
        problem = check_recorded_scan(data, size, record_scan(copied, FIRST_NUMBER));
        problem = problem.empty() ? problem : "copied with zeroed slack: " + problem;
    }
    if (problem.empty()) {
        problem = check_search(data, size, find_next_image);
    }
    if (problem.empty()) {
        problem = check_header_searches(data, size);
    }
    return problem;
}
