#include "extraction/header_search.h"

#include <string>

#include <gtest/gtest.h>

#include "sample_data.h"

namespace {

bytes repeat(const std::string& pattern, std::size_t length) {
    bytes out(length);
    for (std::size_t i = 0; i < length; ++i) {
        out[i] = static_cast<unsigned char>(pattern[i % pattern.size()]);
    }
    return out;
}

// Writes a sound header (or a near miss of one) into `data` at `offset`.
void put(bytes& data, std::size_t offset, const std::string& header) {
    std::copy(header.begin(), header.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Every method must give the plain loop's answer for every start, on data where the vector
// filters pass often and where headers sit at every alignment and right at the end.
TEST(FindSoundHeader, EveryMethodAgreesWithThePlainLoop) {
    filler_source source;
    const std::string wave("RIFF\x10\0\0\0WAVE", 12);
    const std::string midi("RIFF\xff\xff\xff\xffMIDS", 12);
    struct test_case {
        const char* name;
        bytes data;
    };
    std::vector<test_case> cases = {
        {"ordinary data", make_filler(source, 3000)},
        {"all R", bytes(700, 'R')},
        {"back-to-back RIFF decoys", repeat("RIFF", 700)},
        {"near misses", repeat("RIFF\x10\0\0\0WAVx RIFFRIFF\0\0\0\0MIDs RIFF....WIDS RIFX", 900)},
    };
    bytes sprinkled = make_filler(source, 2000);
    for (std::size_t offset = 3; offset + 12 <= sprinkled.size(); offset += 61) {
        put(sprinkled, offset, offset % 2 == 0 ? wave : midi);
    }
    put(sprinkled, sprinkled.size() - 12, wave);
    cases.push_back({"headers at every alignment and at the end", sprinkled});

    const auto methods = available_header_searches();
    ASSERT_EQ(std::string(methods.front().name), "bytewise");
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int64_t size = static_cast<std::int64_t>(c.data.size());
        // The vector holds exactly the data, so a read past it shows under a memory checker.
        for (const std::int64_t last : {size - 12, size - 13, size - 40, std::int64_t{5}}) {
            // Every start near both ends, so that each vector block boundary meets the end.
            for (std::int64_t from = 0; from <= last + 1;
                 from += from < 80 || from > last - 100 ? 1 : 37) {
                const std::int64_t expected = methods.front().find(c.data.data(), from, last);
                for (const header_search_method& method : methods) {
                    ASSERT_EQ(method.find(c.data.data(), from, last), expected)
                        << method.name << " from " << from << " to " << last;
                }
            }
        }
    }
}

TEST(FindSoundHeader, FindsOnlyWaveAndMidiStreamHeaders) {
    const std::string content("xxRIFF\0\0\0\0AVI RIFF\0\0\0\0WAVE", 26);
    const bytes data(content.begin(), content.end());
    for (const header_search_method& method : available_header_searches()) {
        SCOPED_TRACE(method.name);
        EXPECT_EQ(method.find(data.data(), 0, 14), 14);
        EXPECT_EQ(method.find(data.data(), 0, 13), -1);
        EXPECT_EQ(method.find(data.data(), 15, 14), -1);
    }
    EXPECT_EQ(find_sound_header(data.data(), 0, 14), 14);
}

}  // namespace
