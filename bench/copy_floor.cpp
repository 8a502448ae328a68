// The benchmark's floor: does the tool's job in the working directory without searching. It
// reads each resource file the way the tool does (in the same pieces, into one block kept across
// files) and writes the sounds that the generator's list names, so the difference to the tool is
// the cost of finding them.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "extraction/extraction_run.h"
#include "extraction/file_system.h"
#include "extraction/sound_scanner.h"
#include "sample_data.h"

namespace {

// The tool's loading, less the search for headers that goes with each piece.
bool load_without_search(std::FILE* file, resource_block& block, std::int64_t& size) {
    size = measure_file(file);
    if (size + RESOURCE_SLACK > block.capacity) {
        release_data_block(block.data, block.capacity);
        block.capacity = size + RESOURCE_SLACK;
        block.data = allocate_data_block(block.capacity);
        if (block.data == nullptr) {
            return false;
        }
    }
    for (std::int64_t read = 0; read < size;) {
        const std::int64_t wanted = std::min(READ_PIECE_SIZE, size - read);
        const std::size_t got =
            std::fread(block.data + read, 1, static_cast<std::size_t>(wanted), file);
        read += static_cast<std::int64_t>(got);
        if (static_cast<std::int64_t>(got) < wanted) {
            size = read;
            break;
        }
    }
    return true;
}

}  // namespace

int main() {
    std::FILE* list = std::fopen(SOUND_LIST, "r");
    if (list == nullptr) {
        std::fprintf(stderr, "copy_floor: no %s here\n", SOUND_LIST);
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directory(SOUND_DIR, ignored);
    resource_block block;
    std::int64_t size = 0;
    long long loaded = -1;
    long long index = 0;
    long long offset = 0;
    long long length = 0;
    char extension[8];
    std::int64_t number = 0;
    int status = 0;
    while (std::fscanf(list, "%lld %lld %lld %7s", &index, &offset, &length, extension) == 4) {
        if (index != loaded) {
            const std::string name = std::to_string(index) + ".bin";
            std::FILE* file = open_resource_file(name.c_str());
            if (file == nullptr || !load_without_search(file, block, size)) {
                std::fprintf(stderr, "copy_floor: can't load %s\n", name.c_str());
                return 1;
            }
            std::fclose(file);
            loaded = index;
        }
        char name[64];
        std::snprintf(name, sizeof name, "%s%csnd%04" PRId64 ".%s", SOUND_DIR,
                      sound_path_separator(), number++, extension);
        if (offset + length > size ||
            write_sound_file(name, block.data + offset, length) != write_result::written) {
            status = 2;
        }
    }
    std::fclose(list);
    release_resource_block(block);
    return status;
}
