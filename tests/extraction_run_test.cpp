#include "extraction/extraction_run.h"

#include <gtest/gtest.h>

#include "extraction/file_system.h"
#include "temp_folder.h"

namespace {

TEST(LoadResourceFile, ReadsTheWholeFileFollowedByZeroSlack) {
    temp_folder folder;
    filler_source source;
    // Ends in a header that the slack could complete if it held leftovers.
    bytes content = make_filler(source, 5000);
    const char tail[] = "RIFF\4\0\0\0WA";
    content.insert(content.end(), tail, tail + sizeof tail - 1);
    write_file(folder / "0.bin", content);

    std::FILE* file = open_resource_file((folder / "0.bin").string().c_str());
    ASSERT_NE(file, nullptr);
    resource_buffer buffer;
    ASSERT_TRUE(load_resource_file(file, buffer));
    std::fclose(file);
    ASSERT_EQ(buffer.size, static_cast<std::int64_t>(content.size()));
    EXPECT_TRUE(std::equal(content.begin(), content.end(), buffer.data));
    const bytes slack(buffer.data + buffer.size, buffer.data + buffer.size + RESOURCE_SLACK);
    EXPECT_EQ(slack, bytes(RESOURCE_SLACK, 0));
    release_resource(buffer);
    EXPECT_EQ(buffer.data, nullptr);
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
