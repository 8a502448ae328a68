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
    // When nonzero, the child's address space limit in bytes (RLIMIT_AS), to make allocation fail.
    std::uint64_t address_space_limit = 0;
    // "NAME=value" entries set in the child's environment before the tool starts.
    std::vector<std::string> environment = {};
};

// The words that start the tool: its path, after an emulator when the build has one. The build
// hands them in as one '|'-separated text.
std::vector<std::string> tool_command();

// Runs the tool with `folder` as its working directory, standard output and error on pipes. The
// test process itself never changes directory. A child still running after a minute is killed.
tool_run run_tool(const std::filesystem::path& folder, const run_options& options = {});
