// The search for sound headers alone, every method this machine runs, on ordinary data and on
// the data that is hardest for a search that hunts one byte: all 'R', and "RIFF" after "RIFF".
#include <benchmark/benchmark.h>

#include <string>

#include "extraction/header_search.h"
#include "sample_data.h"

namespace {

constexpr std::int64_t SIZE = std::int64_t{64} << 20;

bytes make_data(const std::string& kind) {
    if (kind == "ordinary") {
        filler_source source;
        return make_filler(source, SIZE);
    }
    const std::string pattern = kind == "all_r" ? "R" : "RIFF";
    bytes data(static_cast<std::size_t>(SIZE));
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<unsigned char>(pattern[i % pattern.size()]);
    }
    return data;
}

void search(benchmark::State& state, header_search_function find, const std::string& kind) {
    const bytes data = make_data(kind);
    for (auto _ : state) {
        benchmark::DoNotOptimize(find(data.data(), 0, SIZE - 12));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * SIZE);
}

const int registered = [] {
    for (const header_search_method& method : available_header_searches()) {
        for (const char* kind : {"ordinary", "all_r", "riff_decoys"}) {
            const std::string name = std::string(kind) + "/" + method.name;
            benchmark::RegisterBenchmark(name.c_str(), search, method.find, std::string(kind))
                ->Unit(benchmark::kMillisecond);
        }
    }
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
