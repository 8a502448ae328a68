// Writes the demo game folder: three resource files holding two wave sounds and two MIDI streams
// among filler and decoys, and sounds.txt listing where each sound lies.
#include <cstdio>

#include "sample_data.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_sample FOLDER\n", stderr);
        return 2;
    }
    if (!write_folder(argv[1], make_demo_folder())) {
        std::fprintf(stderr, "make_sample: can't write the folder \"%s\"\n", argv[1]);
        return 1;
    }
    std::printf("Sample game folder written to %s\n", argv[1]);
    return 0;
}
