// Runs the tool in a real terminal (a private tmux server) and reads the screen back, to see the
// per-resource count rewritten in place.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "sample_data.h"
#include "temp_folder.h"

namespace {

std::string command_output(const std::string& command) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        out.append(chunk, n);
    }
    pclose(pipe);
    return out;
}

// A tmux server of this test's own, on a private socket, ended with the test.
struct tmux_server {
    std::string tmux = "tmux -L zelvo_test_" + std::to_string(getpid()) + " -f /dev/null ";
    ~tmux_server() { std::system((tmux + "kill-server 2>/dev/null").c_str()); }
};

std::string quoted_tool_command() {
    std::string command;
    for (const std::string& word : tool_command()) {
        command += "'" + word + "' ";
    }
    return command;
}

TEST(ConsoleProgress, RewritesTheCountInPlaceOnATerminal) {
    ASSERT_EQ(std::system("command -v tmux >/dev/null"), 0) << "tmux is needed for this test";
    temp_folder folder;
    resource_plan twelve;
    resource_plan three;
    for (int i = 0; i < 12; ++i) {
        append_bytes(twelve, bytes(5, 'f'));
        append_sound(twelve, make_sized_sound(i % 2 == 0 ? "WAVE" : "MIDS", 30));
    }
    for (int i = 0; i < 3; ++i) {
        append_sound(three, make_sized_sound("WAVE", 30));
    }
    ASSERT_TRUE(write_folder(folder.path.string(), {twelve, resource_plan{}, three}));

    tmux_server server;
    const std::string script = "cd '" + folder.path.string() + "' && " + quoted_tool_command() +
                               "; echo \"[exit $?]\"; "
                               // The terminal's modes must be back as they were.
                               "stty -a | tr ' ;' '\\n\\n' | grep -x -e icanon -e echo; sleep 60\n";
    write_file(folder / "run.sh", bytes(script.begin(), script.end()));
    const std::string start =
        server.tmux + "new-session -d -x 100 -y 30 \"sh '" + (folder / "run.sh").string() + "'\"";
    ASSERT_EQ(std::system(start.c_str()), 0);

    std::string screen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (screen.find("echo\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        screen = command_output(server.tmux + "capture-pane -p");
    }
    const std::string expected =
        "Zelvo audio files extractor by the zelvo_decruncher authors "
        "<https://zelvo-decruncher.example>,\n"
        "\n"
        "usage: run \"zelvo_decruncher.exe\" in ZELVO folder\n"
        "\n"
        "Scaning file \"0.bin\"... 12 files found\n"
        "Scaning file \"1.bin\"...\n"
        "Scaning file \"2.bin\"... 3 files found\n"
        "\n"
        "Job complete, 3 resources scanned and 15 files found.\n"
        "[exit 0]\n"
        "icanon\n"
        "echo\n";
    EXPECT_EQ(screen.substr(0, expected.size()), expected);
}

}  // namespace
