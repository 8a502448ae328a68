#include "extraction/extraction_run.h"

#include <cinttypes>
#include <cstdint>
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

bool load_resource_file(std::FILE* file, resource_block& block, resource_buffer& buffer) {
    // A file that can't be measured is taken as empty: there is nothing to read from it.
    const std::int64_t measured = measure_file(file);
    const std::int64_t size = measured > 0 ? measured : 0;
    if (size > INT64_MAX - RESOURCE_SLACK ||
        static_cast<std::uint64_t>(size) > SIZE_MAX - RESOURCE_SLACK) {
        release_resource_block(block);
        return false;
    }
    const std::int64_t needed = size + RESOURCE_SLACK;
    if (needed > block.capacity) {
        // The old block goes before the new one is asked for, so memory stays bounded by the
        // largest resource file and its slack.
        release_data_block(block.data, block.capacity);
        std::int64_t capacity = needed;
        block.data = allocate_data_block(capacity);
        block.capacity = block.data != nullptr ? capacity : 0;
    }
    if (block.data == nullptr) {
        return false;
    }
    const std::size_t read = std::fread(block.data, 1, static_cast<std::size_t>(size), file);
    std::memset(block.data + read, 0, static_cast<std::size_t>(RESOURCE_SLACK));
    buffer.data = block.data;
    buffer.size = static_cast<std::int64_t>(read);
    return true;
}

void release_resource_block(resource_block& block) {
    release_data_block(block.data, block.capacity);
    block = resource_block{};
}

int run_extraction() {
    prepare_console();
    write_banner();
    run_totals totals;
    resource_block block;
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
        const bool is_loaded = load_resource_file(file, block, buffer);
        std::fclose(file);
        if (!is_loaded) {
            std::fputs("\nError - can't allocate memory!\n\n", stdout);
            return EXIT_NO_MEMORY;
        }
        if (scan_resource(buffer, totals, mark) == scan_result::cannot_create) {
            release_resource_block(block);
            return EXIT_CANNOT_CREATE;
        }
        std::fputs("\n", stdout);
        ++totals.resources_scanned;
    }
    release_resource_block(block);
    std::printf("\nJob complete, %" PRId64 " resources scanned and %" PRId64 " files found.\n",
                totals.resources_scanned, totals.files_found);
    return EXIT_OK;
}
