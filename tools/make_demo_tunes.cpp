// make_demo_tunes: writes the demo tunes into a folder.
//
//   make_demo_tunes DEMO_DIR
//
// Every tune is composed in code (demo_tune_*.cpp) with voices designed in
// demo_voices.cpp, the sampled one included; nothing is read from anywhere.
// Running it again writes the same bytes. Exits 1 with a message when a
// score is malformed or a file cannot be written.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "demo_tunes.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_tunes DEMO_DIR\n");
        return 2;
    }
    try {
        for (const demo::DemoTune &t : demo::demo_tunes()) {
            std::string path = std::string(argv[1]) + "/" + t.file;
            if (!tune_builder::write_file(t.make(), path)) {
                std::fprintf(stderr, "make_demo_tunes: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_demo_tunes: %s\n", e.what());
        return 1;
    }
    return 0;
}
