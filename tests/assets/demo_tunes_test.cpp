// The demo tunes: make_demo_tunes reproduces the committed files exactly,
// the set has every kind of voice and both file kinds, and each tune loads
// in the engine, lasts 20 to 60 seconds and plays loud enough without
// clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "asset_files.h"
#include "audio_measure.h"
#include "brindlewick.h"

namespace {

std::vector<std::string> committed_tunes() {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(std::string(SOURCE_DIR) + "/demo")) {
        std::string ext = e.path().extension().string();
        if (ext == ".ptcop" || ext == ".pttune") names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::vector<uint8_t> &bytes, const std::string &tag) {
    return std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end()) != bytes.end();
}

TEST(DemoTunes, ToolRegeneratesTheCommittedTunesExactly) {
    TempFolder out;
    ASSERT_FALSE(out.path.empty());
    ASSERT_EQ(run_command(std::string("'") + MAKE_DEMO_TUNES + "' '" + out.path + "'"), 0);
    std::vector<std::string> made;
    for (const auto &e : std::filesystem::directory_iterator(out.path))
        made.push_back(e.path().filename().string());
    std::sort(made.begin(), made.end());
    ASSERT_EQ(made, committed_tunes()) << "demo/ and the tool's tunes differ in name";
    for (const std::string &name : made)
        EXPECT_TRUE(read_file(out.path + "/" + name) ==
                    read_file(std::string(SOURCE_DIR) + "/demo/" + name))
            << name << " differs from make_demo_tunes' output: run make_demo_tunes demo";
}

TEST(DemoTunes, CoverEveryVoiceKindAndBothFileKinds) {
    std::vector<std::string> names = committed_tunes();
    ASSERT_GE(names.size(), 4u);
    int ptcop = 0, pttune = 0, ptv = 0, ptn = 0, pcm = 0;
    for (const std::string &name : names) {
        std::vector<uint8_t> b = read_file(std::string(SOURCE_DIR) + "/demo/" + name);
        ptcop += contains(b, "PTCOLLAGE-071119");
        pttune += contains(b, "PTTUNE--20071119");
        ptv += contains(b, "matePTV ");
        ptn += contains(b, "matePTN ");
        pcm += contains(b, "matePCM ");
    }
    EXPECT_GE(ptcop, 1);
    EXPECT_GE(pttune, 1);
    EXPECT_EQ(ptv, int(names.size())) << "every tune has ptvoice voices";
    EXPECT_GE(ptn, 1);
    EXPECT_GE(pcm, 1);
}

TEST(DemoTunes, LoadLastTwentyToSixtySecondsAndPlayCleanly) {
    for (const std::string &name : committed_tunes()) {
        SCOPED_TRACE(name);
        std::unique_ptr<bw_tune, void (*)(bw_tune *)> t(bw_new(22050, 2), bw_free);
        ASSERT_EQ(bw_load_file(t.get(), (std::string(SOURCE_DIR) + "/demo/" + name).c_str()), 1)
            << bw_error(t.get());
        EXPECT_STREQ(bw_error(t.get()), "");
        bw_info info;
        ASSERT_EQ(bw_get_info(t.get(), &info, sizeof info), 1);
        double seconds = double(info.beats_per_measure) * info.measures * 60.0 / info.tempo;
        EXPECT_GE(seconds, 20.0);
        EXPECT_LE(seconds, 60.0);

        const int rate = 22050;
        std::vector<int16_t> frames, block(2 * 1000);
        for (int n; (n = bw_render(t.get(), block.data(), 1000)) > 0;)
            frames.insert(frames.end(), block.begin(), block.begin() + 2 * n);
        std::vector<double> left = test_support::channel(frames, 2, 0);
        std::vector<double> right = test_support::channel(frames, 2, 1);
        double peak = std::max(test_support::peak(left, 0, left.size()),
                               test_support::peak(right, 0, right.size()));
        EXPECT_LT(peak, 0.98) << "clips";
        double level_db = 20 * std::log10(test_support::rms(left, 0, left.size()) + 1e-12);
        EXPECT_GT(level_db, -24.0) << "too quiet";
        // Sound from the first second to near the end: no silent gaps.
        for (size_t s = 0; s + 2 < size_t(seconds); s++)
            EXPECT_GT(test_support::rms(left, s * rate, (s + 1) * rate), 0.01) << "second " << s;
    }
}

}  // namespace
