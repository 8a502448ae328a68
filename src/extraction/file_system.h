// The file operations whose form differs between POSIX and Windows. Each platform implements them
// in a file of its own; the build compiles exactly one.
#pragma once

#include <cstdint>
#include <cstdio>

// The directory separator used in sound file names: a backslash on Windows; a slash elsewhere,
// where a backslash is an ordinary character and the file would land beside "snd", not in it.
char sound_path_separator();

// Opens `name` for binary reading. Returns null when it can't be opened or is not a regular file
// (a directory or a device is no resource file). Never blocks, not even on a FIFO.
std::FILE* open_resource_file(const char* name);

// The length of an open file, found by moving to its end, with the position put back at the
// start. 64-bit, so files of 2 GiB and more are measured whole. Negative when it can't be told.
std::int64_t measure_file(std::FILE* file);

// A block of at least `size` bytes for resource data, or null when it can't be had; on success
// `size` becomes the block's whole usable size. Where the platform offers it the block is backed
// by huge pages, so that filling a fresh block costs one page fault per 2 MiB, not per 4 KiB.
unsigned char* allocate_data_block(std::int64_t& size);

// Returns a block from allocate_data_block, with the usable size it was given.
void release_data_block(unsigned char* block, std::int64_t size);
