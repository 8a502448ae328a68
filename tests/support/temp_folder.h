// A scoped temporary folder for tests, and small helpers to put files in it and read them back.
#pragma once

#include <filesystem>
#include <string>

#include "sample_data.h"

// Creates a fresh, empty folder under the system's temporary directory; removes it and all it
// holds when it goes out of scope.
struct temp_folder {
    temp_folder();
    ~temp_folder();
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    std::filesystem::path path;

    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

// Writes `content` to `file`, replacing it; fails the current test when that doesn't work.
void write_file(const std::filesystem::path& file, const bytes& content);

// The whole content of `file`, or an empty vector when it can't be read.
bytes read_file(const std::filesystem::path& file);

// The names of the entries of `folder`, sorted.
std::vector<std::string> list_folder(const std::filesystem::path& folder);
