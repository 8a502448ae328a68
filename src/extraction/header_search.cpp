#include "extraction/header_search.h"

#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#define ZELVO_HAS_X86_VECTORS 1
#include <immintrin.h>
#endif

namespace {

bool is_sound_header(const unsigned char* p) {
    return std::memcmp(p, "RIFF", 4) == 0 &&
           (std::memcmp(p + 8, "WAVE", 4) == 0 || std::memcmp(p + 8, "MIDS", 4) == 0);
}

std::int64_t find_bytewise(const unsigned char* data, std::int64_t from, std::int64_t last) {
    for (std::int64_t offset = from; offset <= last; ++offset) {
        if (data[offset] == 'R' && is_sound_header(data + offset)) {
            return offset;
        }
    }
    return -1;
}

#ifdef ZELVO_HAS_X86_VECTORS

// The vector loops test three bytes of every offset at once: 'R' at 0, 'F' at 3, and 'W' or 'M'
// at 8. Ordinary data, text full of 'R' and runs of "RIFF" decoys all fail that filter almost
// everywhere; the few offsets that pass get the full comparison. A block is taken only while all
// its offsets are at most `last`; its loads then end by last + 8, and the plain loop takes the
// remaining offsets.

// Checks the offsets flagged in `mask` (bit i: offset base + i) in order.
std::int64_t first_header_in(const unsigned char* data, std::int64_t base, unsigned mask) {
    while (mask != 0) {
        const std::int64_t offset = base + __builtin_ctz(mask);
        if (is_sound_header(data + offset)) {
            return offset;
        }
        mask &= mask - 1;
    }
    return -1;
}

std::int64_t find_sse2(const unsigned char* data, std::int64_t from, std::int64_t last) {
    constexpr std::int64_t WIDTH = 16;
    const __m128i r = _mm_set1_epi8('R');
    const __m128i f = _mm_set1_epi8('F');
    const __m128i w = _mm_set1_epi8('W');
    const __m128i m = _mm_set1_epi8('M');
    std::int64_t offset = from;
    for (; offset + WIDTH <= last + 1; offset += WIDTH) {
        const auto* p = data + offset;
        const __m128i at0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i at3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3));
        const __m128i at8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        const __m128i form = _mm_or_si128(_mm_cmpeq_epi8(at8, w), _mm_cmpeq_epi8(at8, m));
        const __m128i hit =
            _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(at0, r), _mm_cmpeq_epi8(at3, f)), form);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) {
            const std::int64_t found = first_header_in(data, offset, mask);
            if (found >= 0) {
                return found;
            }
        }
    }
    return find_bytewise(data, offset, last);
}

__attribute__((target("avx2"))) std::int64_t find_avx2(const unsigned char* data, std::int64_t from,
                                                       std::int64_t last) {
    constexpr std::int64_t WIDTH = 32;
    const __m256i r = _mm256_set1_epi8('R');
    const __m256i f = _mm256_set1_epi8('F');
    const __m256i w = _mm256_set1_epi8('W');
    const __m256i m = _mm256_set1_epi8('M');
    std::int64_t offset = from;
    for (; offset + WIDTH <= last + 1; offset += WIDTH) {
        const auto* p = data + offset;
        const __m256i at0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i at3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 3));
        const __m256i at8 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
        const __m256i form = _mm256_or_si256(_mm256_cmpeq_epi8(at8, w), _mm256_cmpeq_epi8(at8, m));
        const __m256i hit = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpeq_epi8(at0, r), _mm256_cmpeq_epi8(at3, f)), form);
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit));
        if (mask != 0) {
            const std::int64_t found = first_header_in(data, offset, mask);
            if (found >= 0) {
                return found;
            }
        }
    }
    return find_bytewise(data, offset, last);
}

bool has_avx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

#endif

header_search_function fastest_search() {
#ifdef ZELVO_HAS_X86_VECTORS
    return has_avx2() ? find_avx2 : find_sse2;
#else
    return find_bytewise;
#endif
}

}  // namespace

std::int64_t find_sound_header(const unsigned char* data, std::int64_t from, std::int64_t last) {
    static const header_search_function find = fastest_search();
    return find(data, from, last);
}

std::vector<header_search_method> available_header_searches() {
    std::vector<header_search_method> methods{{"bytewise", find_bytewise}};
#ifdef ZELVO_HAS_X86_VECTORS
    methods.push_back({"sse2", find_sse2});
    if (has_avx2()) {
        methods.push_back({"avx2", find_avx2});
    }
#endif
    return methods;
}
