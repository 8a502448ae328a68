// Holds the scanner to the reference model over many generated resource files and the fuzz
// target's seed corpus, and shows that the model and the checks themselves would catch a fault.
#include "scan_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "extraction/extraction_run.h"
#include "sample_data.h"
#include "scan_model.h"
#include "temp_folder.h"

namespace {

bytes header(const char* form_type, std::uint32_t size_field) {
    riff_fields fields;
    fields.form_type = form_type;
    fields.size_field = size_field;
    return build_riff(fields);
}

std::string hex(const bytes& content) {
    std::string out;
    char digits[4];
    for (const unsigned char byte : content) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        out += digits;
    }
    return out;
}

// The length an image's size field gives, before any cut.
std::int64_t declared_length(const bytes& content, std::int64_t offset) {
    std::int64_t size_field = 0;
    for (std::size_t i = 4; i > 0; --i) {
        size_field = size_field * 256 + content[static_cast<std::size_t>(offset) + 3 + i];
    }
    return size_field + 8;
}

constexpr sound_kind WAVE = sound_kind::wave;
constexpr sound_kind MIDS = sound_kind::midi_stream;

TEST(ScanModel, FindsWhatTheToolMustFind) {
    const bytes pad(5, 'p');
    struct test_case {
        const char* name;
        bytes content;
        std::vector<found_image> expected;
    };
    const test_case cases[] = {
        {"back to back, the second right where the first ends",
         join({make_sized_sound("WAVE", 20), make_sized_sound("MIDS", 16)}),
         {{0, 20, WAVE}, {20, 16, MIDS}}},
        {"nothing inside a stored image is looked at",
         join({header("WAVE", 4 + 20), make_sized_sound("MIDS", 20), pad}),
         {{0, 32, WAVE}}},
        {"an image inside another form type's header",
         join({text("RIFF"), header("WAVE", 16), bytes(12, 'b')}),
         {{4, 24, WAVE}}},
        {"size fields 0 and 3",
         join({header("MIDS", 0), header("WAVE", 3)}),
         {{0, 8, MIDS}, {12, 11, WAVE}}},
        {"cut off: the bytes present, then nothing more",
         join({pad, header("WAVE", 100), make_sized_sound("WAVE", 20)}),
         {{5, 32, WAVE}}},
        {"the largest size field does not wrap",
         join({header("MIDS", 0xffffffffu), pad}),
         {{0, 17, MIDS}}},
        {"a header that ends with the data", join({pad, header("WAVE", 4)}), {{5, 12, WAVE}}},
        {"a header one byte short of the data", join({pad, text("RIFF\4\0\0\0MID")}), {}},
        {"near misses", join({header("WAVF", 4), header("wave", 4), text("RIFX\4\0\0\0MIDS")}), {}},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(model_scan(c.content.data(), static_cast<std::int64_t>(c.content.size())),
                  c.expected);
    }
}

// A scan result for checks to judge: a pad, a wave, a MIDI stream right behind it, more pad, and
// a wave cut off by the end of the data.
struct judged_scan {
    bytes content = join({bytes(3, 'p'), make_sized_sound("WAVE", 20), make_sized_sound("MIDS", 16),
                          bytes(4, 'p'), header("WAVE", 40), bytes(6, 'c')});
    std::vector<found_image> images = {{3, 20, WAVE}, {23, 16, MIDS}, {43, 18, WAVE}};
    std::int64_t size() const { return static_cast<std::int64_t>(content.size()); }
};

TEST(ScanCheck, AcceptsTheRightResultAndNamesEveryKindOfWrongOne) {
    const judged_scan right;
    ASSERT_EQ(check_images(right.content.data(), right.size(), right.images), "");
    struct test_case {
        const char* name;
        void (*spoil)(std::vector<found_image>& images);
        const char* problem;
    };
    const test_case cases[] = {
        {"an image missing", [](auto& images) { images.erase(images.begin() + 1); },
         "differs from the model"},
        {"an image too many",
         [](auto& images) {
             images.push_back({60, 1, WAVE});
         },
         "header not wholly within the data"},
        {"out of order", [](auto& images) { std::swap(images[0], images[1]); },
         "overlaps or comes before"},
        {"one byte too long", [](auto& images) { ++images[0].length; }, "length is not"},
        {"the cut-off image not cut", [](auto& images) { images[2].length = 48; },
         "runs past the end"},
        {"the wrong kind", [](auto& images) { images[1].kind = WAVE; },
         "kind differs from the form type"},
        {"not at a tag", [](auto& images) { ++images[0].offset; }, "does not start with"},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<found_image> images = right.images;
        c.spoil(images);
        EXPECT_NE(check_images(right.content.data(), right.size(), images).find(c.problem),
                  std::string::npos);
    }
}

TEST(ScanCheck, CatchesASearchThatMissesOrMisjudgesAnImage) {
    const judged_scan judged;
    EXPECT_EQ(check_search(judged.content.data(), judged.size(), find_next_image), "");
    struct test_case {
        const char* name;
        image_search search;
    };
    const test_case cases[] = {
        {"skips the first offset it is given",
         [](const unsigned char* data, std::int64_t size, std::int64_t from, found_image& image) {
             return find_next_image(data, size, from + 1, image);
         }},
        {"does not cut an image to the bytes present",
         [](const unsigned char* data, std::int64_t size, std::int64_t from, found_image& image) {
             const bool is_found = find_next_image(data, size, from, image);
             image.length += is_found && image.offset + image.length == size ? 1 : 0;
             return is_found;
         }},
    };
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(check_search(judged.content.data(), judged.size(), c.search), "");
    }
}

// Random resource files built from the pieces that trouble a search: sounds of both kinds with
// true, tiny and damaged size fields, near misses, images in headers and bodies, runs of 'R',
// repeated tags, bytes drawn from the letters of the tags, and tails cut anywhere.
class resource_maker {
public:
    explicit resource_maker(std::uint64_t seed) : random_(seed) {}

    bytes make() {
        bytes content;
        const std::uint64_t pieces = below(24);
        for (std::uint64_t i = 0; i < pieces; ++i) {
            append(content, piece());
        }
        if (below(3) == 0) {
            // Cut off anywhere, but mostly within the last header or two.
            const std::uint64_t cut = below(below(2) == 0 ? 30 : content.size() + 1);
            content.resize(content.size() - std::min<std::uint64_t>(cut, content.size()));
        }
        if (below(5) == 0) {
            // A header at the very end, whole or a few bytes short.
            const bytes tail = header(form_type(), size_field(0));
            append(content, bytes(tail.begin(), tail.end() - static_cast<long>(below(4))));
        }
        for (std::uint64_t flips = below(4) == 0 ? below(6) : 0; flips > 0 && !content.empty();
             --flips) {
            content[below(content.size())] = tag_letter();
        }
        return content;
    }

private:
    std::uint64_t below(std::uint64_t bound) { return bound == 0 ? 0 : random_() % bound; }

    static void append(bytes& content, const bytes& piece) {
        content.insert(content.end(), piece.begin(), piece.end());
    }

    unsigned char tag_letter() {
        static const char LETTERS[] = "RIFFWAVEMIDS\0\4";
        return static_cast<unsigned char>(LETTERS[below(sizeof LETTERS - 1)]);
    }

    const char* form_type() { return below(2) == 0 ? "WAVE" : "MIDS"; }

    const char* near_miss() {
        static const char* const NEAR_MISSES[] = {"WAVF", "WAV",  "wave", "MIDI",
                                                  "MID",  "RIFF", "AVI ", "RMID"};
        return NEAR_MISSES[below(std::size(NEAR_MISSES))];
    }

    // Mostly the true size field of a body of `body_length` bytes; sometimes 0 to 3, a little or
    // far too large, or one of the largest values.
    std::uint32_t size_field(std::uint64_t body_length) {
        const auto truth = static_cast<std::uint32_t>(body_length + 4);
        switch (below(8)) {
            case 0:
                return static_cast<std::uint32_t>(below(4));
            case 1:
                return truth + static_cast<std::uint32_t>(1 + below(64));
            case 2:
                return 0xffffffffu - static_cast<std::uint32_t>(below(16));
            case 3:
                return static_cast<std::uint32_t>(random_());
            default:
                return truth;
        }
    }

    bytes filler() {
        bytes out(below(below(8) == 0 ? 3000 : 48));
        const bool is_tag_letters = below(2) == 0;
        for (unsigned char& byte : out) {
            byte = is_tag_letters ? tag_letter() : static_cast<unsigned char>(random_());
        }
        return out;
    }

    bytes image(const char* type) {
        const bytes body = filler();
        return join({header(type, size_field(body.size())), body});
    }

    bytes piece() {
        switch (below(10)) {
            case 0:
                return filler();
            case 1:
                return image(near_miss());
            case 2: {
                // Another tag over the real one.
                bytes decoy = image(form_type());
                std::copy_n(below(2) == 0 ? "RIFX" : "riff", 4, decoy.begin());
                return decoy;
            }
            case 3:
                return bytes(below(300), 'R');
            case 4: {
                bytes tags;
                for (std::uint64_t n = 1 + below(12); n > 0; --n) {
                    append(tags, text("RIFF"));
                }
                return tags;
            }
            case 5:
                return join({text("RIFF"), image(form_type())});
            case 6: {
                // A sound, or a near miss, holding a sound in its body.
                const bytes inner = image(form_type());
                return join(
                    {header(below(2) == 0 ? form_type() : near_miss(), size_field(inner.size())),
                     inner});
            }
            default:
                return image(form_type());
        }
    }

    std::mt19937_64 random_;
};

TEST(ScanModel, TheScannerAgreesWithTheModelOnGeneratedResourceFiles) {
    constexpr std::uint64_t FIRST_SEED = 0x5ca11ed;
    constexpr int CASES = 20000;
    // A crash names no case; with ZELVO_SHOW_CASES set, each seed goes to standard error first.
    const bool is_showing_cases = std::getenv("ZELVO_SHOW_CASES") != nullptr;
    // What the cases held, to show they reach every corner the model tells apart.
    int images = 0, back_to_back = 0, cut_off = 0, shorter_than_a_header = 0, at_the_end = 0;
    std::vector<std::string> failures;
    testing::internal::CaptureStdout();  // the count texts of every scan
    for (int i = 0; i < CASES; ++i) {
        const std::uint64_t seed = FIRST_SEED + static_cast<std::uint64_t>(i);
        if (is_showing_cases) {
            std::fprintf(stderr, "resource_maker(%llu)\n", static_cast<unsigned long long>(seed));
        }
        const bytes content = resource_maker(seed).make();
        const auto size = static_cast<std::int64_t>(content.size());
        const std::string problem = check_scan(content.data(), size);
        if (!problem.empty()) {
            failures.push_back("resource_maker(" + std::to_string(seed) + "), " +
                               std::to_string(size) + " bytes: " + problem +
                               (size <= 512 ? "\n  bytes: " + hex(content) : std::string()));
        }
        const std::vector<found_image> found = model_scan(content.data(), size);
        for (std::size_t k = 0; k < found.size(); ++k) {
            const found_image& image = found[k];
            ++images;
            back_to_back += k > 0 && found[k - 1].offset + found[k - 1].length == image.offset;
            shorter_than_a_header += image.length < RIFF_HEADER_SIZE;
            at_the_end += image.offset + image.length == size;
            cut_off += declared_length(content, image.offset) > image.length;
        }
    }
    testing::internal::GetCapturedStdout();
    // The first few failures in full; the rest only counted.
    for (std::size_t i = 0; i < failures.size() && i < 3; ++i) {
        ADD_FAILURE() << failures[i];
    }
    EXPECT_EQ(failures.size(), 0u) << "cases that fail";
    EXPECT_GT(images, 40000);
    EXPECT_GT(back_to_back, 6000);
    EXPECT_GT(cut_off, 10000);
    EXPECT_GT(shorter_than_a_header, 5000);
    EXPECT_GT(at_the_end, 10000);
}

// Files of a megabyte and more, loaded as the run loads them: a sound header that ends at, or
// reaches k bytes past, the first mebibyte, or a run of 65536 tiny images; then random pieces.
TEST(ScanModel, TheScannerAgreesWithTheModelOnLargeResourceFiles) {
    std::vector<std::string> failures;
    testing::internal::CaptureStdout();  // the count texts of every scan
    for (std::int64_t k = 0; k < RIFF_HEADER_SIZE + 3; ++k) {
        const auto seed = static_cast<std::uint64_t>(0x1a46e + k);
        filler_source source{seed};
        resource_maker maker(seed);
        bytes content;
        if (k < RIFF_HEADER_SIZE) {
            content = make_filler(source, (std::int64_t{1} << 20) - RIFF_HEADER_SIZE + k);
            const bytes image = make_sized_sound(k % 2 == 0 ? "WAVE" : "MIDS", 40);
            content.insert(content.end(), image.begin(), image.end());
        } else {
            const bytes tiny = header("MIDS", 0);
            for (std::int64_t i = k; i < std::int64_t{1} << 16; ++i) {
                content.insert(content.end(), tiny.begin(), tiny.end());
            }
        }
        for (int i = 0; i < 3; ++i) {
            const bytes piece = maker.make();
            content.insert(content.end(), piece.begin(), piece.end());
        }
        const std::string problem =
            check_scan(content.data(), static_cast<std::int64_t>(content.size()));
        if (!problem.empty()) {
            failures.push_back("case " + std::to_string(k) + ": " + problem.substr(0, 2000));
        }
    }
    testing::internal::GetCapturedStdout();
    for (const std::string& failure : failures) {
        ADD_FAILURE() << failure;
    }
}

TEST(ScanModel, TheScannerAgreesWithTheModelOnTheFuzzCorpus) {
    std::vector<std::string> names;
    std::vector<std::string> problems;
    testing::internal::CaptureStdout();  // the count texts of every scan
    for (const auto& entry : std::filesystem::directory_iterator(ZELVO_FUZZ_CORPUS_DIR)) {
        const bytes content = read_file(entry.path());
        names.push_back(entry.path().filename().string());
        problems.push_back(check_scan(content.data(), static_cast<std::int64_t>(content.size())));
    }
    testing::internal::GetCapturedStdout();
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(problems[i], "") << names[i];
    }
    EXPECT_GE(names.size(), 10u);
}

}  // namespace
