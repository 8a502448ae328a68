// Times the tool against the copy floor on two synthetic game folders of about 1 GiB each, with a
// warm page cache, and prints the median wall time, throughput, peak memory and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sample_data.h"

namespace {

namespace fs = std::filesystem;

struct bench_folder {
    const char* name;
    double sound_share;
};

constexpr bench_folder FOLDERS[] = {{"sound-heavy", 0.25}, {"scan-heavy", 0.01}};
constexpr int RESOURCE_FILES = 12;
constexpr std::int64_t MIB = 1 << 20;

// Writes the folder unless an earlier benchmark left it complete. File sizes vary from 64 to
// 106 MiB, about 1 GiB in all, so the numbering crosses from 9 to 10; they rise and fall, so the
// tool's block both grows and serves smaller files.
bool ensure_folder(const fs::path& folder, double sound_share) {
    const fs::path done = folder / "complete";
    if (fs::exists(done)) {
        return true;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    std::printf("Writing %s ...\n", folder.string().c_str());
    std::fflush(stdout);
    filler_source source;
    for (int i = 0; i < RESOURCE_FILES; ++i) {
        const resource_plan plan = make_bench_resource(
            source, (64 + 42 * ((i * 5) % RESOURCE_FILES) / 11) * MIB, sound_share);
        if (!write_resource(folder.string(), static_cast<std::size_t>(i), plan)) {
            return false;
        }
    }
    std::FILE* mark = std::fopen(done.string().c_str(), "w");
    return mark != nullptr && std::fclose(mark) == 0;
}

struct measured_run {
    double seconds = 0;
    long peak_kib = 0;
    int status = -1;
};

// Runs `program` in `folder` with its output thrown away, after removing what an earlier run
// wrote, and measures its wall time and peak resident memory.
measured_run run_in(const fs::path& folder, const std::string& program) {
    std::error_code ignored;
    fs::remove_all(folder / "snd", ignored);
    measured_run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null_fd = open("/dev/null", O_WRONLY);
        if (chdir(folder.c_str()) != 0 || null_fd < 0) {
            _exit(127);
        }
        dup2(null_fd, STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peak_kib = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: run_benchmark TOOL COPY_FLOOR DATA_FOLDER [RUNS]\n");
        return 2;
    }
    const std::string tool = fs::absolute(argv[1]).string();
    const std::string floor = fs::absolute(argv[2]).string();
    const fs::path data = fs::absolute(argv[3]);
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 7;

    std::printf("%-12s %8s %8s %9s %9s %8s %7s %9s %10s\n", "folder", "MiB", "files", "tool s",
                "floor s", "ratio", "MB/s", "peak MiB", "limit MiB");
    for (const bench_folder& kind : FOLDERS) {
        const fs::path folder = data / kind.name;
        if (!ensure_folder(folder, kind.sound_share)) {
            std::fprintf(stderr, "run_benchmark: can't write %s\n", folder.string().c_str());
            return 1;
        }
        std::uintmax_t total = 0;
        std::uintmax_t largest = 0;
        for (int i = 0; i < RESOURCE_FILES; ++i) {
            const std::uintmax_t size = fs::file_size(folder / (std::to_string(i) + ".bin"));
            total += size;
            largest = std::max(largest, size);
        }
        // One run of each first, to warm the page cache.
        run_in(folder, tool);
        run_in(folder, floor);
        std::vector<double> tool_times;
        std::vector<double> floor_times;
        long peak_kib = 0;
        std::size_t sounds = 0;
        for (int i = 0; i < runs; ++i) {
            const measured_run by_tool = run_in(folder, tool);
            sounds = static_cast<std::size_t>(
                std::distance(fs::directory_iterator(folder / "snd"), fs::directory_iterator{}));
            const measured_run by_floor = run_in(folder, floor);
            if (by_tool.status != 0 || by_floor.status != 0) {
                std::fprintf(stderr, "run_benchmark: a run failed (%d, %d)\n", by_tool.status,
                             by_floor.status);
                return 1;
            }
            tool_times.push_back(by_tool.seconds);
            floor_times.push_back(by_floor.seconds);
            peak_kib = std::max(peak_kib, by_tool.peak_kib);
        }
        const double tool_median = median(tool_times);
        const double floor_median = median(floor_times);
        std::printf("%-12s %8.0f %8zu %9.3f %9.3f %8.3f %7.0f %9.1f %10.1f\n", kind.name,
                    static_cast<double>(total) / MIB, sounds, tool_median, floor_median,
                    tool_median / floor_median, static_cast<double>(total) / 1e6 / tool_median,
                    static_cast<double>(peak_kib) / 1024, static_cast<double>(largest) / MIB + 16);
    }
    std::printf("(median of %d runs; ratio = tool / copy floor; limit = largest file + 16 MiB)\n",
                runs);
    return 0;
}
