#include "extraction/sound_scanner.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "extraction/extraction_run.h"
#include "extraction/file_system.h"
#include "sample_data.h"
#include "temp_folder.h"
#include "tool_platform.h"

namespace {

// One sound the scanner handed to its writer.
struct stored_sound {
    std::string name;
    std::int64_t offset;
    std::int64_t length;
};

bool operator==(const stored_sound& a, const stored_sound& b) {
    return a.name == b.name && a.offset == b.offset && a.length == b.length;
}

std::ostream& operator<<(std::ostream& out, const stored_sound& s) {
    return out << "{" << s.name << " at " << s.offset << ", " << s.length << " bytes}";
}

// A resource file's bytes as the run hands them over: followed by zero slack.
struct loaded {
    explicit loaded(const bytes& content) : block(content) {
        block.resize(content.size() + RESOURCE_SLACK, 0);
        buffer.data = block.data();
        buffer.size = static_cast<std::int64_t>(content.size());
    }
    bytes block;
    resource_buffer buffer;
};

struct scan_outcome {
    scan_result result = scan_result::completed;
    std::vector<stored_sound> sounds;
    std::string console;
};

// Scans `content` with a writer that records instead of creating files. `fail_at` makes that
// writer answer `failure` for the sound of that index.
scan_outcome scan(const bytes& content, run_totals& totals, int fail_at = -1,
                  write_result failure = write_result::cannot_create) {
    loaded file(content);
    scan_outcome outcome;
    const unsigned char* base = file.buffer.data;
    const sound_writer recorder = [&](const char* name, const unsigned char* first,
                                      std::int64_t length) {
        if (static_cast<int>(outcome.sounds.size()) == fail_at) {
            return failure;
        }
        outcome.sounds.push_back({name, first - base, length});
        return write_result::written;
    };
    testing::internal::CaptureStdout();
    outcome.result = scan_resource(file.buffer, totals, cursor_mark{}, recorder);
    outcome.console = testing::internal::GetCapturedStdout();
    return outcome;
}

scan_outcome scan(const bytes& content) {
    run_totals totals;
    return scan(content, totals);
}

// The same scan after loading `content` the way the run does, through a file into a block.
std::vector<stored_sound> scan_loaded(const bytes& content) {
    temp_folder folder;
    write_file(folder / "0.bin", content);
    std::FILE* file = open_resource_file((folder / "0.bin").string().c_str());
    resource_block block;
    resource_buffer buffer;
    EXPECT_TRUE(file != nullptr && load_resource_file(file, block, buffer));
    if (file != nullptr) {
        std::fclose(file);
    }
    std::vector<stored_sound> sounds;
    const sound_writer recorder = [&](const char* name, const unsigned char* first,
                                      std::int64_t length) {
        sounds.push_back({name, first - buffer.data, length});
        return write_result::written;
    };
    run_totals totals;
    testing::internal::CaptureStdout();
    scan_resource(buffer, totals, cursor_mark{}, recorder);
    testing::internal::GetCapturedStdout();
    release_resource_block(block);
    return sounds;
}

bytes riff(const std::string& form_type, std::int64_t size_field, const bytes& body) {
    riff_fields fields;
    fields.form_type = form_type;
    fields.size_field = size_field;
    fields.body = body;
    return build_riff(fields);
}

TEST(ScanResource, FindsEachImageWithItsExactExtent) {
    const bytes wave = make_sized_sound("WAVE", 40);
    const bytes midi = make_sized_sound("MIDS", 33);
    const bytes pad(7, 'x');
    // An "AVI " image whose size field is the start of a real wave image: the header of the
    // wave lies inside the header of the decoy.
    const bytes decoy_with_inner =
        join({text("RIFF"), text("RIFF"), text("\x10\0\0\0"), text("WAVE"), bytes(12, 'w')});
    struct test_case {
        const char* name;
        bytes content;
        std::vector<stored_sound> expected;
    };
    const test_case cases[] = {
        {"wave, midi stream, wave among other bytes",
         join({pad, wave, pad, midi, pad, wave, pad}),
         {{sound_name(0, "wav"), 7, 40},
          {sound_name(1, "mid"), 54, 33},
          {sound_name(2, "wav"), 94, 40}}},
        {"back to back",
         join({wave, midi, wave}),
         {{sound_name(0, "wav"), 0, 40},
          {sound_name(1, "mid"), 40, 33},
          {sound_name(2, "wav"), 73, 40}}},
        {"other form types are no sound",
         join({riff("AVI ", 20, bytes(16, 'a')), riff("wave", 4, {}), riff("RMID", 4, {}),
               text("RIFX\4\0\0\0WAVE"), text("riff\4\0\0\0MIDS")}),
         {}},
        {"an image inside another form type's header",
         join({pad, decoy_with_inner}),
         {{sound_name(0, "wav"), 11, 24}}},
        {"an image nested in a written one",
         join({riff("WAVE", -1, join({pad, wave})), pad}),
         {{sound_name(0, "wav"), 0, 59}}},
        {"odd size field: the pad byte is not part of it",
         join({riff("WAVE", 13, bytes(9, 's')), text("\0"), wave}),
         {{sound_name(0, "wav"), 0, 21}, {sound_name(1, "wav"), 22, 40}}},
        {"size fields 0 to 3 give 8 to 11 bytes",
         join({riff("MIDS", 0, {}), riff("WAVE", 3, {})}),
         {{sound_name(0, "mid"), 0, 8}, {sound_name(1, "wav"), 12, 11}}},
        {"cut off: only the bytes present, then the scan ends",
         join({pad, riff("WAVE", 1000, join({bytes(20, 'c'), wave}))}),
         {{sound_name(0, "wav"), 7, 72}}},
        {"huge size field does not wrap",
         join({riff("MIDS", 0xffffffff, bytes(30, 'h'))}),
         {{sound_name(0, "mid"), 0, 42}}},
        {"header ending exactly at the end of the data",
         join({pad, riff("WAVE", 4, {})}),
         {{sound_name(0, "wav"), 7, 12}}},
        {"header one byte short of the end", join({pad, text("RIFF\4\0\0\0WAV")}), {}},
        {"tag alone at the end", join({pad, text("RIFF")}), {}},
        {"empty file", {}, {}},
        {"fewer than five bytes", text("RIFF"), {}},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        const scan_outcome outcome = scan(c.content);
        EXPECT_EQ(outcome.result, scan_result::completed);
        EXPECT_EQ(outcome.sounds, c.expected);
        EXPECT_EQ(scan_loaded(c.content), c.expected);
    }
}

TEST(ScanResource, NumbersAcrossResourcesAndCountsEachResourceFromOne) {
    const bytes two_sounds = join({make_sized_sound("WAVE", 20), make_sized_sound("MIDS", 20)});
    run_totals totals;
    const scan_outcome first = scan(two_sounds, totals);
    const scan_outcome second = scan(two_sounds, totals);
    EXPECT_EQ(totals.files_found, 4);
    ASSERT_EQ(second.sounds.size(), 2u);
    EXPECT_EQ(second.sounds[0].name, sound_name(2, "wav"));
    EXPECT_EQ(second.sounds[1].name, sound_name(3, "mid"));
    // Without a console the count texts follow one another.
    EXPECT_EQ(first.console, "1 files found2 files found");
    EXPECT_EQ(second.console, "1 files found2 files found");
}

TEST(ScanResource, NamesGrowToFiveDigitsPastNineThousandNineHundredNinetyNine) {
    run_totals totals;
    totals.files_found = 9999;
    const scan_outcome outcome =
        scan(join({make_sized_sound("WAVE", 20), make_sized_sound("MIDS", 20)}), totals);
    ASSERT_EQ(outcome.sounds.size(), 2u);
    EXPECT_EQ(outcome.sounds[0].name, sound_name(9999, "wav"));
    EXPECT_EQ(outcome.sounds[1].name, sound_name(10000, "mid"));
}

TEST(ScanResource, StopsAtASoundThatCannotBeStoredWithoutCountingIt) {
    struct test_case {
        const char* name;
        write_result failure;
        std::string message;
    };
    const std::string failed = "\"" + sound_name(1, "mid") + "\"!\n\n";
    const test_case cases[] = {
        {"cannot create", write_result::cannot_create,
         "1 files found\nError - can't create file " + failed},
        {"cannot write", write_result::cannot_write,
         "1 files found\nError - can't write file " + failed},
    };
    const bytes three = join(
        {make_sized_sound("WAVE", 20), make_sized_sound("MIDS", 20), make_sized_sound("WAVE", 20)});
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        run_totals totals;
        const scan_outcome outcome = scan(three, totals, 1, c.failure);
        EXPECT_EQ(outcome.result, scan_result::cannot_create);
        EXPECT_EQ(outcome.sounds.size(), 1u);
        EXPECT_EQ(totals.files_found, 1);
        EXPECT_EQ(outcome.console, c.message);
    }
}

TEST(FindNextImage, ReadsNothingPastTheDataAndAcceptsAnyStart) {
    // The data is copied to a block of exactly its size, so a read past it would be caught by a
    // memory checker; the header at the end is only one byte short of a sound.
    const bytes content = join({make_sized_sound("WAVE", 16), text("RIFF\4\0\0\0WAV")});
    const std::vector<unsigned char> exact(content.begin(), content.end());
    found_image image;
    ASSERT_TRUE(find_next_image(exact.data(), 27, -5, image));
    EXPECT_EQ(image.offset, 0);
    EXPECT_EQ(image.length, 16);
    EXPECT_FALSE(find_next_image(exact.data(), 27, 1, image));
    EXPECT_FALSE(find_next_image(exact.data(), 27, 1000, image));
    EXPECT_FALSE(find_next_image(nullptr, 0, 0, image));
}

TEST(WriteSoundFile, WritesTheBytesAndReplacesAnOldFile) {
    temp_folder folder;
    const std::string name = (folder / "snd0000.wav").string();
    write_file(name, bytes(500, 'o'));
    const bytes image = make_sized_sound("WAVE", 100);
    EXPECT_EQ(write_sound_file(name.c_str(), image.data(), 100), write_result::written);
    EXPECT_EQ(read_file(name), image);
}

TEST(WriteSoundFile, ReportsAFileThatCannotBeCreated) {
    temp_folder folder;
    const bytes image = make_sized_sound("WAVE", 100);
    const std::string missing_dir = (folder / "missing" / "snd0000.wav").string();
    EXPECT_EQ(write_sound_file(missing_dir.c_str(), image.data(), 100),
              write_result::cannot_create);
}

}  // namespace
