// The tool's one driving loop: the banner, every numbered resource file of the working directory
// in turn, and the summary.
#pragma once

#include <cstdint>
#include <cstdio>

#include "extraction/extraction_types.h"

// Extracts the sounds of 0.bin, 1.bin, … up to the first number that can't be opened, writing
// every message to standard output. Returns EXIT_OK, EXIT_NO_MEMORY when a resource file's block
// can't be allocated, or EXIT_CANNOT_CREATE when a sound file can't be created or written.
int run_extraction();

// Memory for resource data, kept from one resource file to the next and grown only when a
// larger file comes. Owned by the run.
struct resource_block {
    unsigned char* data = nullptr;
    std::int64_t capacity = 0;
};

// Reads the open resource `file` whole, in one read, into `block`, growing it when the file
// needs more room, and points `buffer` at the data, followed by RESOURCE_SLACK zero bytes.
// `buffer.size` is what was actually read, so a short read scans only real bytes. Returns false
// when the block can't grow; it is then empty. The file is left open.
bool load_resource_file(std::FILE* file, resource_block& block, resource_buffer& buffer);

// Frees the block's memory and leaves it empty.
void release_resource_block(resource_block& block);
