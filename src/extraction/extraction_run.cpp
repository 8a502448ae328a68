#include "extraction/extraction_run.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "console/console_progress.h"
#include "extraction/file_system.h"
#include "extraction/header_search.h"
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

// Lists the sound headers that start in [from, last] in `headers` after the `count` listed
// already, until the index is full; moves `from` past what has been listed, or to the first
// header that did not fit.
void index_headers(const unsigned char* data, std::int64_t& from, std::int64_t last,
                   std::int64_t* headers, std::int64_t& count) {
    while (from <= last) {
        const std::int64_t header = find_sound_header(data, from, last);
        if (header < 0) {
            from = last + 1;
            return;
        }
        if (count == HEADER_INDEX_CAPACITY) {
            from = header;
            return;
        }
        headers[count++] = header;
        from = header + 1;
    }
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
    if (block.headers == nullptr) {
        block.headers.reset(new (std::nothrow) std::int64_t[HEADER_INDEX_CAPACITY]);
    }
    if (block.data == nullptr || block.headers == nullptr) {
        release_resource_block(block);
        return false;
    }
    // Read piece by piece, and search each piece for sound headers while it is still in the
    // cache: a search of the whole file afterwards would pull it through memory a second time.
    std::int64_t read = 0;
    std::int64_t indexed_until = 0;
    std::int64_t header_count = 0;
    while (read < size) {
        const std::int64_t wanted = std::min(READ_PIECE_SIZE, size - read);
        const std::size_t got =
            std::fread(block.data + read, 1, static_cast<std::size_t>(wanted), file);
        read += static_cast<std::int64_t>(got);
        index_headers(block.data, indexed_until, read - RIFF_HEADER_SIZE, block.headers.get(),
                      header_count);
        if (static_cast<std::int64_t>(got) < wanted) {
            break;
        }
    }
    std::memset(block.data + read, 0, static_cast<std::size_t>(RESOURCE_SLACK));
    buffer.data = block.data;
    buffer.size = read;
    buffer.headers = block.headers.get();
    buffer.header_count = header_count;
    buffer.indexed_until = indexed_until;
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
