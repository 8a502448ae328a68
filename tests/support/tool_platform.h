// What the tool under test does differently when it is built for Windows: its standard output is
// a text stream whose line end is CR LF, and its sound file names use the backslash. The build
// says which kind of tool is tested through ZELVO_TOOL_IS_WINDOWS, because tests built for Linux
// may run the Windows executable under Wine.
#pragma once

#include <cstdio>
#include <string>

constexpr bool IS_WINDOWS_TOOL = ZELVO_TOOL_IS_WINDOWS != 0;

// `text`, written with "\n" line ends, as the tool's standard output carries it to a file or pipe.
inline std::string as_written(const std::string& text) {
    if (!IS_WINDOWS_TOOL) {
        return text;
    }
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The name of sound file `number` with `extension` as the tool forms it and its messages show it:
// "snd/snd0000.wav", or "snd\snd0000.wav" on Windows.
inline std::string sound_name(int number, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "snd%csnd%04d.%s", IS_WINDOWS_TOOL ? '\\' : '/', number,
                  extension);
    return name;
}
