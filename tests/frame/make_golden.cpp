// Writes the first frame from the starting state as raw 16-bit pixels (little-endian, 800 x
// 600, no padding): the golden frame that frame_tests compares with. Run from bin/, beside
// FinalTitle.bmp, by scripts/make-golden.
#include <windows.h>

#include "frame_support.h"
#include "support/test_support.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantorel_golden_frame OUTPUT.rgb565\n");
        return 2;
    }
    ResetEverything();
    const scripted::Page& page = RunFirstFrame();
    if (page.width != 800 || page.height != 600 || !scripted::MessageBoxes().empty()) {
        std::fprintf(stderr, "vantorel_golden_frame: the first frame was not drawn cleanly\n");
        return 1;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (WORD p : page.pixels) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(p & 0xFF),
                                        static_cast<unsigned char>(p >> 8)};
        std::fwrite(bytes, 1, 2, out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
