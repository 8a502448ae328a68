// Resource files behind the kinds of names only POSIX file systems offer.
#include "extraction/file_system.h"

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace {

TEST(OpenResourceFile, FollowsALinkToARegularFile) {
    temp_folder folder;
    write_file(folder / "0.bin", bytes{});
    std::filesystem::create_symlink(folder / "0.bin", folder / "2.bin");

    std::FILE* linked = open_resource_file((folder / "2.bin").string().c_str());
    EXPECT_NE(linked, nullptr);
    if (linked != nullptr) {
        std::fclose(linked);
    }
}

}  // namespace
