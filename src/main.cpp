// zelvo_decruncher: extracts the wave sounds and MIDI streams embedded in the resource files of the
// working directory. Command-line arguments are not read.
#include "extraction/extraction_run.h"

int main() {
    return run_extraction();
}
