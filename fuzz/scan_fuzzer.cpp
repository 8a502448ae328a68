// libFuzzer target: any bytes at all, scanned as a resource file through scan_resource (the
// tool's own entry, with a writer that records instead of creating files) and searched with
// find_next_image in a block of exactly their size. Every result must obey the rules of a scan
// and equal the reference model's; anything else aborts, and libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scan_check.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // The scanner writes a count text after every image; the fuzzer has no use for them.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("can't send standard output to /dev/null");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = check_scan(data, static_cast<std::int64_t>(size));
    if (!problem.empty()) {
        std::fprintf(stderr, "scan check failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
