// Runs the built tool as a child process in a given folder and collects what it printed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct tool_run {
    int status = -1;  // the exit status, or -1 when the child did not exit normally
    std::string out;  // everything written to standard output
    std::string err;  // everything written to standard error
};

struct run_options {
    std::vector<std::string> arguments;
    // When nonzero, the address space in bytes (RLIMIT_AS) the child may take beyond what this
    // process holds when it starts the child, to make allocation fail. Counted from there because
    // a sanitizer build reserves terabytes of address space before main, and so does its tool.
    std::uint64_t address_space_limit = 0;
    // When nonzero, the largest file the child may write, in bytes (RLIMIT_FSIZE), to make a
    // write fail midway as on a full disk. The signal for passing it is ignored, so the write
    // itself fails.
    std::uint64_t file_size_limit = 0;
};

// The words that start the tool: its path, after an emulator when the build has one. The build
// hands them in as one '|'-separated text.
std::vector<std::string> tool_command();

// Runs the tool with `folder` as its working directory, standard output and error on pipes. The
// test process itself never changes directory. A child still running after a minute is killed.
tool_run run_tool(const std::filesystem::path& folder, const run_options& options = {});
