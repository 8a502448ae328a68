#include "temp_folder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include <gtest/gtest.h>

temp_folder::temp_folder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path = base / ("zelvo_test_" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(path, error)) {
            return;
        }
        if (error) {
            ADD_FAILURE() << "can't create " << path << ": " << error.message();
            return;
        }
    }
}

temp_folder::~temp_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void write_file(const std::filesystem::path& file, const bytes& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
    out.close();
    ASSERT_TRUE(out) << "can't write " << file;
}

bytes read_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> list_folder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
