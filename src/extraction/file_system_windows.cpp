// File operations on Windows. Sound file names use the backslash; sizes are measured with the
// 64-bit seek functions, because ftell's long has 32 bits there.
#include "extraction/file_system.h"

#include <cstdint>
#include <cstdio>

// libstdc++ for MinGW defines NOMINMAX as 1 already; the same definition repeated is no conflict.
#define NOMINMAX 1
#define WIN32_LEAN_AND_MEAN 1
#include <io.h>
#include <windows.h>

char sound_path_separator() {
    return '\\';
}

std::FILE* open_resource_file(const char* name) {
    // Opening a directory fails here already; the type check turns away anything else that is
    // not a file on disk, such as a pipe or a device behind the name.
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

std::int64_t measure_file(std::FILE* file) {
    if (_fseeki64(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const std::int64_t size = _ftelli64(file);
    if (_fseeki64(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return size;
}

unsigned char* allocate_data_block(std::int64_t& size) {
    if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) {
        return nullptr;
    }
    // Committed pages straight from the system; large pages would need a privilege that players'
    // accounts don't have.
    return static_cast<unsigned char*>(
        VirtualAlloc(nullptr, static_cast<SIZE_T>(size), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void release_data_block(unsigned char* block, std::int64_t) {
    if (block != nullptr) {
        VirtualFree(block, 0, MEM_RELEASE);
    }
}
