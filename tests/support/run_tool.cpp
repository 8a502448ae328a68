#include "run_tool.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

std::vector<std::string> tool_command() {
    std::vector<std::string> words;
    std::stringstream list(ZELVO_TOOL_COMMAND);
    for (std::string word; std::getline(list, word, '|');) {
        if (!word.empty()) {
            words.push_back(word);
        }
    }
    return words;
}

namespace {

constexpr int RUN_TIMEOUT_MS = 60000;

// The address space this process holds, from the "VmSize:" line of /proc/self/status (in kB).
std::uint64_t address_space_in_use() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, 7, "VmSize:") == 0) {
            return std::strtoull(line.c_str() + 7, nullptr, 10) * 1024;
        }
    }
    ADD_FAILURE() << "can't tell the address space in use from /proc/self/status";
    return 0;
}

[[noreturn]] void exec_child(const std::filesystem::path& folder, const run_options& options,
                             std::uint64_t address_space_limit, int out_fd, int err_fd) {
    if (chdir(folder.c_str()) != 0) {
        _exit(127);
    }
    if (address_space_limit != 0) {
        const rlimit limit{address_space_limit, address_space_limit};
        setrlimit(RLIMIT_AS, &limit);
    }
    if (options.file_size_limit != 0) {
        const rlimit limit{options.file_size_limit, options.file_size_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    }
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    const int null_fd = open("/dev/null", O_RDONLY);
    dup2(null_fd, STDIN_FILENO);

    std::vector<std::string> words = tool_command();
    words.insert(words.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

}  // namespace

tool_run run_tool(const std::filesystem::path& folder, const run_options& options) {
    tool_run run;
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
        return run;
    }
    const std::uint64_t address_space_limit =
        options.address_space_limit == 0 ? 0 : address_space_in_use() + options.address_space_limit;
    const pid_t child = fork();
    if (child == 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        exec_child(folder, options, address_space_limit, out_pipe[1], err_pipe[1]);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);

    pollfd streams[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(RUN_TIMEOUT_MS);
    int open_streams = 2;
    while (open_streams > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(streams, 2, static_cast<int>(left.count())) <= 0) {
            kill(child, SIGKILL);
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t count = read(streams[i].fd, chunk, sizeof chunk);
            if (count > 0) {
                sinks[i]->append(chunk, static_cast<std::size_t>(count));
            } else {
                close(streams[i].fd);
                streams[i].fd = -1;
                --open_streams;
            }
        }
    }
    for (const pollfd& stream : streams) {
        if (stream.fd >= 0) {
            close(stream.fd);
        }
    }
    int wait_status = 0;
    waitpid(child, &wait_status, 0);
    if (WIFEXITED(wait_status)) {
        run.status = WEXITSTATUS(wait_status);
    }
    return run;
}
