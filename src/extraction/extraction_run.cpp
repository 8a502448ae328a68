#include "extraction/extraction_run.h"

#include <cinttypes>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "console/console_progress.h"
#include "extraction/file_system.h"
#include "extraction/sound_scanner.h"

namespace {

constexpr std::size_t NAME_CAPACITY = 256;

void write_banner() {
    std::fputs(
        "Zelvo audio files extractor by the zelvo_decruncher authors "
        "<https://zelvo-decruncher.example>,\n"
        "\n"
        "usage: run \"zelvo_decruncher.exe\" in ZELVO folder\n\n",
        stdout);
}

// Created at the top of every pass; a failure (usually: it exists) is not reported here. If the
// directory really is missing, the first sound file that can't be created says so.
void create_sound_dir() {
    std::error_code ignored;
    std::filesystem::create_directory(SOUND_DIR, ignored);
}

}  // namespace

bool load_resource_file(std::FILE* file, resource_buffer& buffer) {
    // A file that can't be measured is taken as empty: there is nothing to read from it.
    const std::int64_t measured = measure_file(file);
    const std::int64_t size = measured > 0 ? measured : 0;
    if (static_cast<std::uint64_t>(size) > SIZE_MAX - RESOURCE_SLACK) {
        return false;
    }
    const auto capacity = static_cast<std::size_t>(size + RESOURCE_SLACK);
    auto* data = static_cast<unsigned char*>(std::malloc(capacity));
    if (data == nullptr) {
        return false;
    }
    const std::size_t read = std::fread(data, 1, static_cast<std::size_t>(size), file);
    std::memset(data + read, 0, static_cast<std::size_t>(RESOURCE_SLACK));
    buffer.data = data;
    buffer.size = static_cast<std::int64_t>(read);
    return true;
}

void release_resource(resource_buffer& buffer) {
    std::free(buffer.data);
    buffer = resource_buffer{};
}

int run_extraction() {
    prepare_console();
    write_banner();
    run_totals totals;
    for (;;) {
        create_sound_dir();
        char name[NAME_CAPACITY];
        std::snprintf(name, sizeof name, "%" PRId64 ".bin", totals.resources_scanned);
        std::FILE* file = open_resource_file(name);
        if (file == nullptr) {
            break;
        }
        std::printf("Scaning file \"%s\"... ", name);
        const cursor_mark mark = capture_cursor();
        resource_buffer buffer;
        const bool is_loaded = load_resource_file(file, buffer);
        std::fclose(file);
        if (!is_loaded) {
            std::fputs("\nError - can't allocate memory!\n\n", stdout);
            return EXIT_NO_MEMORY;
        }
        const scan_result result = scan_resource(buffer, totals, mark);
        release_resource(buffer);
        if (result == scan_result::cannot_create) {
            return EXIT_CANNOT_CREATE;
        }
        std::fputs("\n", stdout);
        ++totals.resources_scanned;
    }
    std::printf("\nJob complete, %" PRId64 " resources scanned and %" PRId64 " files found.\n",
                totals.resources_scanned, totals.files_found);
    return EXIT_OK;
}
