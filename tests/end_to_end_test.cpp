// Runs the built tool in temporary game folders and checks its exact output, exit status and the
// sound files it leaves.
#include <fstream>
#include <functional>
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "sample_data.h"
#include "temp_folder.h"

namespace {

const std::string BANNER =
    "Zelvo audio files extractor by the zelvo_decruncher authors "
    "<https://zelvo-decruncher.example>,\n"
    "\n"
    "usage: run \"zelvo_decruncher.exe\" in ZELVO folder\n\n";

std::string scan_message(int resource) {
    return "Scaning file \"" + std::to_string(resource) + ".bin\"... ";
}

// A resource file's whole line as it reaches a pipe: the count texts follow one another.
std::string scan_line(int resource, int count) {
    std::string line = scan_message(resource);
    for (int i = 1; i <= count; ++i) {
        line += std::to_string(i) + " files found";
    }
    return line + "\n";
}

std::string summary(int resources, int files) {
    return "\nJob complete, " + std::to_string(resources) + " resources scanned and " +
           std::to_string(files) + " files found.\n";
}

bytes slice(const bytes& content, const placed_sound& sound) {
    const auto begin = content.begin() + sound.offset;
    return bytes(begin, begin + sound.length);
}

// Checks that "snd" holds exactly the sounds of `plans`, numbered in order, byte for byte.
void expect_sounds_of(const std::filesystem::path& folder,
                      const std::vector<resource_plan>& plans) {
    std::vector<std::string> expected_names;
    int number = 0;
    for (const resource_plan& plan : plans) {
        for (const placed_sound& sound : plan.sounds) {
            char name[32];
            std::snprintf(name, sizeof name, "snd%04d.%s", number++, sound.extension.c_str());
            expected_names.push_back(name);
            EXPECT_EQ(read_file(folder / "snd" / name), slice(plan.content, sound)) << name;
        }
    }
    EXPECT_EQ(list_folder(folder / "snd"), expected_names);
}

TEST(EndToEnd, ExtractsEverySoundOfTheDemoFolderExactly) {
    temp_folder folder;
    const std::vector<resource_plan> plans = make_demo_folder();
    ASSERT_TRUE(write_folder(folder.path.string(), plans));

    const tool_run run = run_tool(folder.path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              BANNER + scan_line(0, 2) + scan_line(1, 0) + scan_line(2, 2) + summary(3, 4));
    EXPECT_EQ(run.err, "");
    expect_sounds_of(folder.path, plans);
}

TEST(EndToEnd, ASecondRunWithArgumentsReplacesTheSameFiles) {
    temp_folder folder;
    const std::vector<resource_plan> plans = make_demo_folder();
    ASSERT_TRUE(write_folder(folder.path.string(), plans));
    std::filesystem::create_directory(folder / "snd");
    write_file(folder / "snd" / "snd0001.mid", bytes(100000, 'x'));

    const tool_run first = run_tool(folder.path, {{"--help", "x"}});
    const tool_run second = run_tool(folder.path, {{"-v"}});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(first.out,
              BANNER + scan_line(0, 2) + scan_line(1, 0) + scan_line(2, 2) + summary(3, 4));
    EXPECT_EQ(second.out, first.out);
    expect_sounds_of(folder.path, plans);
}

TEST(EndToEnd, EndsNormallyAtTheFirstResourceThatIsNoReadableFile) {
    const bytes one_sound = make_sized_sound("WAVE", 64);
    struct test_case {
        const char* name;
        std::function<void(const std::filesystem::path&)> prepare;
        std::string expected;
        std::vector<std::string> sounds;
    };
    const test_case cases[] = {
        {"no resource file at all", [](const auto&) {}, summary(0, 0), {}},
        {"a gap in the numbers",
         [&](const auto& dir) {
             write_file(dir / "0.bin", one_sound);
             write_file(dir / "2.bin", one_sound);
         },
         scan_line(0, 1) + summary(1, 1),
         {"snd0000.wav"}},
        {"an empty resource file",
         [&](const auto& dir) {
             write_file(dir / "0.bin", {});
             write_file(dir / "1.bin", one_sound);
         },
         scan_line(0, 0) + scan_line(1, 1) + summary(2, 1),
         {"snd0000.wav"}},
        {"a directory named like a resource file",
         [&](const auto& dir) {
             write_file(dir / "0.bin", one_sound);
             std::filesystem::create_directory(dir / "1.bin");
             write_file(dir / "2.bin", one_sound);
         },
         scan_line(0, 1) + summary(1, 1),
         {"snd0000.wav"}},
        {"a FIFO named like a resource file, with no writer",
         [&](const auto& dir) {
             write_file(dir / "0.bin", one_sound);
             ASSERT_EQ(mkfifo((dir / "1.bin").c_str(), 0600), 0);
         },
         scan_line(0, 1) + summary(1, 1),
         {"snd0000.wav"}},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        temp_folder folder;
        c.prepare(folder.path);
        const tool_run run = run_tool(folder.path);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, BANNER + c.expected);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(std::filesystem::is_directory(folder / "snd"));
        EXPECT_EQ(list_folder(folder / "snd"), c.sounds);
    }
}

TEST(EndToEnd, ReportsABlockThatCannotBeAllocated) {
    temp_folder folder;
    write_file(folder / "0.bin", make_sized_sound("WAVE", 64));
    // A sparse gigabyte: cheap on disk, but more than the child may allocate.
    write_file(folder / "1.bin", {});
    std::filesystem::resize_file(folder / "1.bin", std::uintmax_t{1} << 30);

    run_options options;
    options.address_space_limit = std::uint64_t{512} << 20;
    const tool_run run = run_tool(folder.path, options);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              BANNER + scan_line(0, 1) + scan_message(1) + "\nError - can't allocate memory!\n\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(list_folder(folder / "snd"), std::vector<std::string>{"snd0000.wav"});
}

TEST(EndToEnd, ReportsASoundFileThatCannotBeCreated) {
    temp_folder folder;
    write_file(folder / "0.bin", make_sized_sound("MIDS", 64));
    write_file(folder / "snd", bytes{'x'});

    const tool_run run = run_tool(folder.path);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out,
              BANNER + scan_message(0) + "\nError - can't create file \"snd/snd0000.mid\"!\n\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(read_file(folder / "snd"), bytes{'x'});
}

TEST(EndToEnd, ReportsASoundFileThatCannotBeWrittenAndRemovesIt) {
    temp_folder folder;
    const bytes wave = make_sized_sound("WAVE", 64);
    write_file(folder / "0.bin", wave);
    write_file(folder / "1.bin", make_sized_sound("MIDS", 64));
    std::filesystem::create_directory(folder / "snd");
    // Every write to /dev/full fails as on a full disk.
    std::filesystem::create_symlink("/dev/full", folder / "snd" / "snd0001.mid");

    const tool_run run = run_tool(folder.path);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, BANNER + scan_line(0, 1) + scan_message(1) +
                           "\nError - can't write file \"snd/snd0001.mid\"!\n\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(list_folder(folder / "snd"), std::vector<std::string>{"snd0000.wav"});
    EXPECT_EQ(read_file(folder / "snd" / "snd0000.wav"), wave);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST(EndToEnd, ReadsAndScansResourceFilesOfTwoGigabytesAndMore) {
    temp_folder folder;
    const bytes wave = make_sized_sound("WAVE", 1000);
    const std::uint64_t offset = (std::uint64_t{1} << 31) + 77;
    write_file(folder / "0.bin", {});
    // Sparse up to the image, so the file costs almost no disk.
    std::filesystem::resize_file(folder / "0.bin", offset);
    {
        std::ofstream out(folder / "0.bin", std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(wave.data()),
                  static_cast<std::streamsize>(wave.size()));
        ASSERT_TRUE(out);
    }
    const tool_run run = run_tool(folder.path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, BANNER + scan_line(0, 1) + summary(1, 1));
    EXPECT_EQ(read_file(folder / "snd" / "snd0000.wav"), wave);
}

}  // namespace
