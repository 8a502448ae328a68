// The tool's one driving loop: the banner, every numbered resource file of the working directory
// in turn, and the summary.
#pragma once

#include <cstdio>

#include "extraction/extraction_types.h"

// Extracts the sounds of 0.bin, 1.bin, … up to the first number that can't be opened, writing
// every message to standard output. Returns EXIT_OK, EXIT_NO_MEMORY when a resource file's block
// can't be allocated, or EXIT_CANNOT_CREATE when a sound file can't be created or written.
int run_extraction();

// Reads the open resource `file` whole into a new block with RESOURCE_SLACK zero bytes after the
// data, which the caller releases with release_resource. `size` is what was actually read, so a
// short read scans only real bytes. Returns false when the block can't be allocated. The file is
// left open.
bool load_resource_file(std::FILE* file, resource_buffer& buffer);

// Frees the block of a loaded resource file and leaves `buffer` empty.
void release_resource(resource_buffer& buffer);
