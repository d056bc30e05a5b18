// Every tune the fuzzer once tripped over (tests/data/tunes) loads, or is
// refused with a short error text, and a tune that loads plays a second,
// without and with the loop, and seeks to its middle (the fuzzer does all
// that). Load and play times are printed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "corpus_files.h"
#include "mix/renderer.h"
#include "tune.h"

namespace fs = std::filesystem;

TEST(FuzzFindings, KeptTunesLoadOrAreRefusedAndPlay) {
    fs::path dir = fs::path(SOURCE_DIR) / "tests/data/tunes";
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no findings kept yet";
    int seen = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes = test_support::read_bytes(entry.path().string());
        auto start = std::chrono::steady_clock::now();
        pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), name);
        if (!r.tune) {
            EXPECT_FALSE(r.error.empty());
            EXPECT_LE(r.error.size(), 36u);
        } else {
            for (bool loop : {false, true}) {
                pxtone::Renderer renderer(r.tune, 22050);
                renderer.set_loop(loop);
                std::vector<int16_t> out(2 * 22050);
                int got = renderer.render(out.data(), 22050, 2);
                EXPECT_LE(got, 22050);
                if (loop && renderer.length() > 0) {
                    EXPECT_EQ(got, 22050) << "a looping tune ended";
                }
                renderer.seek(renderer.length() / 2);
                EXPECT_LE(renderer.position(), renderer.length());
            }
        }
        double ms = std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now() - start).count();
        std::printf("%s: %s in %.1f ms\n", name.c_str(), r.tune ? "played" : r.error.c_str(), ms);
        seen++;
    }
    std::printf("%d kept tunes\n", seen);
}
