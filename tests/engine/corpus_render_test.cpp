// Every tune of the corpus loads without error or warning and renders once
// through to its stated length, with sound in it.
#include <gtest/gtest.h>

#include "audio_measure.h"
#include "corpus_files.h"
#include "render_song.h"
#include "mix/renderer.h"
#include "tune.h"

using namespace test_support;

TEST(CorpusRender, EveryTuneLoadsAndRenders) {
    std::vector<std::string> tunes = corpus_tunes();
    if (tunes.empty()) GTEST_SKIP() << "no ../shared/corpus";
    for (const std::string &path : tunes) {
        SCOPED_TRACE(path);
        pxtone::LoadResult r = pxtone::load_tune_file(path, "tune");
        ASSERT_TRUE(r.tune) << r.error;
        EXPECT_EQ(r.warning, "");
        pxtone::TuneInfo info = pxtone::tune_info(*r.tune);
        EXPECT_GT(info.meas_num, 0);
        pxtone::Renderer ren(r.tune, 22050);
        std::vector<int16_t> out = render_tune(r.tune, 22050);
        EXPECT_GE(int64_t(out.size() / 2), ren.length());
        EXPECT_LT(int64_t(out.size() / 2), ren.length() + 22050 * 5);
        std::vector<double> left = channel(out, 2, 0);
        EXPECT_GT(rms(left, 0, left.size()), 0.005);
    }
}
