// Sound file writing against a device that POSIX systems provide for the purpose.
#include "extraction/sound_scanner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "sample_data.h"
#include "temp_folder.h"

namespace {

TEST(WriteSoundFile, RemovesAFileThatCannotBeWrittenWhole) {
    temp_folder folder;
    const bytes image = make_sized_sound("WAVE", 100);
    // A full disk: every write to /dev/full fails. The link is removed, never the device.
    const auto full = folder / "snd0001.wav";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_EQ(write_sound_file(full.string().c_str(), image.data(), 100),
              write_result::cannot_write);
    EXPECT_FALSE(std::filesystem::is_symlink(full));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

}  // namespace
