#include "extraction/extraction_run.h"

#include <gtest/gtest.h>

#include "extraction/file_system.h"
#include "extraction/sound_scanner.h"
#include "temp_folder.h"

namespace {

void append_bytes_to(bytes& out, const bytes& piece) {
    out.insert(out.end(), piece.begin(), piece.end());
}

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

// The images a scan of `buffer` finds, as "offset:length" texts.
std::vector<std::string> scan_offsets(const resource_buffer& buffer) {
    std::vector<std::string> found;
    run_totals totals;
    const sound_writer recorder = [&](const char*, const unsigned char* first,
                                      std::int64_t length) {
        found.push_back(std::to_string(first - buffer.data) + ":" + std::to_string(length));
        return write_result::written;
    };
    testing::internal::CaptureStdout();
    scan_resource(buffer, totals, cursor_mark{}, recorder);
    testing::internal::GetCapturedStdout();
    return found;
}

// The index of headers found while reading must lead the scan to exactly the images a search of
// the whole buffer finds: across read pieces, and past the index's capacity.
TEST(LoadResourceFile, IndexesHeadersSoTheScanFindsWhatAFullSearchFinds) {
    const std::string header("RIFF\0\0\0\0WAVE", 12);
    filler_source source;
    // The header at the end of piece k reaches k bytes into the piece after it, or ends right
    // before it for k = 12.
    bytes straddling = make_filler(source, 13 * READ_PIECE_SIZE + 7);
    for (std::int64_t k = 1; k <= 12; ++k) {
        const auto at = static_cast<std::ptrdiff_t>(k * READ_PIECE_SIZE - 12 + k);
        std::copy(header.begin(), header.end(), straddling.begin() + at);
    }
    bytes crowded;
    for (std::int64_t i = 0; i < HEADER_INDEX_CAPACITY + 500; ++i) {
        crowded.insert(crowded.end(), header.begin(), header.end());
    }
    append_bytes_to(crowded, make_sized_sound("MIDS", 5000));
    struct test_case {
        const char* name;
        bytes content;
        bool is_index_full;
    };
    const test_case cases[] = {
        {"headers around the ends of read pieces", straddling, false},
        {"more headers than the index holds", crowded, true},
    };
    temp_folder folder;
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        resource_block block;
        const resource_buffer indexed = load(folder, c.content, block);
        ASSERT_EQ(indexed.size, static_cast<std::int64_t>(c.content.size()));
        EXPECT_EQ(indexed.indexed_until < indexed.size - 11, c.is_index_full);
        resource_buffer unindexed;
        unindexed.data = indexed.data;
        unindexed.size = indexed.size;
        const auto expected = scan_offsets(unindexed);
        EXPECT_GT(expected.size(), 4u);
        EXPECT_EQ(scan_offsets(indexed), expected);
        release_resource_block(block);
    }
}

TEST(OpenResourceFile, AcceptsOnlyRegularFiles) {
    temp_folder folder;
    write_file(folder / "0.bin", bytes{});
    std::filesystem::create_directory(folder / "1.bin");
    std::filesystem::create_symlink(folder / "0.bin", folder / "2.bin");

    std::FILE* empty = open_resource_file((folder / "0.bin").string().c_str());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(measure_file(empty), 0);
    std::fclose(empty);
    std::FILE* linked = open_resource_file((folder / "2.bin").string().c_str());
    EXPECT_NE(linked, nullptr);
    if (linked != nullptr) {
        std::fclose(linked);
    }
    EXPECT_EQ(open_resource_file((folder / "1.bin").string().c_str()), nullptr);
    EXPECT_EQ(open_resource_file((folder / "3.bin").string().c_str()), nullptr);
}

}  // namespace
