// The benchmark's floor: does the tool's job in the working directory without searching. It
// reads each resource file the way the tool does (with the tool's own loading, into one block
// kept across files) and writes the sounds that the generator's list names, so the difference to
// the tool is the cost of finding them.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "extraction/extraction_run.h"
#include "extraction/file_system.h"
#include "extraction/sound_scanner.h"
#include "sample_data.h"

int main() {
    std::FILE* list = std::fopen(SOUND_LIST, "r");
    if (list == nullptr) {
        std::fprintf(stderr, "copy_floor: no %s here\n", SOUND_LIST);
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directory(SOUND_DIR, ignored);
    resource_block block;
    resource_buffer buffer;
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
            if (file == nullptr || !load_resource_file(file, block, buffer)) {
                std::fprintf(stderr, "copy_floor: can't load %s\n", name.c_str());
                return 1;
            }
            std::fclose(file);
            loaded = index;
        }
        char name[64];
        std::snprintf(name, sizeof name, "%s%csnd%04" PRId64 ".%s", SOUND_DIR,
                      sound_path_separator(), number++, extension);
        if (offset + length > buffer.size ||
            write_sound_file(name, buffer.data + offset, length) != write_result::written) {
            status = 2;
        }
    }
    std::fclose(list);
    release_resource_block(block);
    return status;
}
