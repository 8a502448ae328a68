#include "extraction/extraction_run.h"

#include <gtest/gtest.h>

#include "extraction/file_system.h"
#include "temp_folder.h"

namespace {

// Loads `content` through a real file, as the run does, into `block`.
resource_buffer load(const temp_folder& folder, const bytes& content, resource_block& block) {
    write_file(folder / "0.bin", content);
    std::FILE* file = open_resource_file((folder / "0.bin").string().c_str());
    resource_buffer buffer;
    EXPECT_NE(file, nullptr);
    if (file != nullptr) {
        EXPECT_TRUE(load_resource_file(file, block, buffer));
        std::fclose(file);
    }
    return buffer;
}

TEST(LoadResourceFile, ReusesTheBlockAndZeroesTheSlackAfterEachFile) {
    temp_folder folder;
    filler_source source;
    // Each file ends one byte pair short of a header; the slack after it must be zero whatever
    // the larger file before left in the block.
    const char tail[] = "RIFF\4\0\0\0WA";
    std::vector<bytes> files = {make_filler(source, 5000), make_r_text(300),
                                make_filler(source, 9000)};
    for (bytes& content : files) {
        content.insert(content.end(), tail, tail + sizeof tail - 1);
    }
    resource_block block;
    const unsigned char* first_block = nullptr;
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        const resource_buffer buffer = load(folder, files[i], block);
        ASSERT_EQ(buffer.size, static_cast<std::int64_t>(files[i].size()));
        ASSERT_EQ(buffer.data, block.data);
        EXPECT_GE(block.capacity, buffer.size + RESOURCE_SLACK);
        EXPECT_TRUE(std::equal(files[i].begin(), files[i].end(), buffer.data));
        const bytes slack(buffer.data + buffer.size, buffer.data + buffer.size + RESOURCE_SLACK);
        EXPECT_EQ(slack, bytes(RESOURCE_SLACK, 0));
        if (i == 0) {
            first_block = block.data;
        } else if (i == 1) {
            EXPECT_EQ(block.data, first_block) << "a smaller file needs no new block";
        }
    }
    release_resource_block(block);
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.capacity, 0);
}

TEST(OpenResourceFile, AcceptsOnlyRegularFiles) {
    temp_folder folder;
    write_file(folder / "0.bin", bytes{});
    std::filesystem::create_directory(folder / "1.bin");

    std::FILE* empty = open_resource_file((folder / "0.bin").string().c_str());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(measure_file(empty), 0);
    std::fclose(empty);
    EXPECT_EQ(open_resource_file((folder / "1.bin").string().c_str()), nullptr);
    EXPECT_EQ(open_resource_file((folder / "3.bin").string().c_str()), nullptr);
}

}  // namespace
