// The platform's file operations on resource files of every size.
#include "extraction/file_system.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace {

TEST(MeasureFile, TellsTheWholeSizeAndGoesBackToTheStart) {
    struct test_case {
        const char* name;
        std::uintmax_t size;
    };
    // The large files are sparse and cost no disk. Past 2 GiB a signed 32-bit position
    // overflows; past 4 GiB an unsigned one wraps to a small size.
    const test_case cases[] = {
        {"one byte", 1},
        {"a few kilobytes", 5000},
        {"past 2 GiB", (std::uintmax_t{1} << 31) + 3},
        {"past 4 GiB", (std::uintmax_t{1} << 32) + 5},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        temp_folder folder;
        const auto path = folder / "0.bin";
        write_file(path, bytes{'x'});
        std::filesystem::resize_file(path, c.size);

        std::FILE* file = open_resource_file(path.string().c_str());
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(measure_file(file), static_cast<std::int64_t>(c.size));
        EXPECT_EQ(std::fgetc(file), 'x');
        std::fclose(file);
    }
}

}  // namespace
