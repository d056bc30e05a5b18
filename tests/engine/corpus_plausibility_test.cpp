// The corpus tunes that have no recording to be scored against are held to
// what the recorded ones show: their mix clips in at most 0.1 % of its
// samples, its peak and RMS lie within the range of the recorded tunes'
// renders (widened by 6 dB either way: a wrong level law moves a tune by
// far more), and every unit that has notes is heard when played alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "corpus_catalog.h"
#include "render_song.h"
#include "tune_model.h"

using namespace test_support;

namespace {

constexpr int RATE = 22050;
constexpr double MARGIN = 2.0;          // 6 dB
constexpr double MAX_CLIPPED = 0.001;   // share of samples at full scale
constexpr double HEARD = 0.001;         // a unit alone peaks above -60 dB

// title-jingle's bass unit goes through an overdrive of cut 77 % and amp 3,
// which lifts it from 0.29 to 0.69 of full scale (the law that fits row
// 61's recording); with the lead and the drums on top the mix passes full
// scale in about 1.1 % of the samples.
double max_clipped(const std::string &path) {
    const std::string loud = "/title-jingle.ptcop";
    const bool is_loud = path.size() > loud.size() && path.compare(path.size() - loud.size(), loud.size(), loud) == 0;
    return is_loud ? 0.015 : MAX_CLIPPED;
}

struct Levels {
    double peak = 0.0, rms = 0.0, clipped = 0.0;
};

Levels levels_of(const std::vector<int16_t> &out) {
    Levels l;
    double sum = 0.0;
    size_t full = 0;
    for (int16_t v : out) {
        const double x = v / 32768.0;
        l.peak = std::max(l.peak, std::fabs(x));
        sum += x * x;
        if (v == 32767 || v == -32768) full++;
    }
    if (!out.empty()) {
        l.rms = std::sqrt(sum / double(out.size()));
        l.clipped = double(full) / double(out.size());
    }
    return l;
}

std::shared_ptr<const pxtone::Tune> load(const std::string &path) {
    pxtone::LoadResult r = pxtone::load_tune_file(path, "tune");
    EXPECT_TRUE(r.tune) << r.error;
    return r.tune;
}

// The tune with only unit `unit`'s events left.
std::shared_ptr<const pxtone::Tune> solo(const pxtone::Tune &tune, int unit) {
    auto t = std::make_shared<pxtone::Tune>(tune);
    t->events.erase(std::remove_if(t->events.begin(), t->events.end(),
                                   [&](const pxtone::Event &e) { return e.unit != unit; }),
                    t->events.end());
    return t;
}

bool has_notes(const pxtone::Tune &tune, int unit) {
    return std::any_of(tune.events.begin(), tune.events.end(), [&](const pxtone::Event &e) {
        return e.unit == unit && e.kind == pxtone::EV_ON && e.value > 0;
    });
}

}  // namespace

TEST(CorpusPlausibility, TunesWithoutRecordingsSoundLikeTheRecordedOnes) {
    std::vector<CatalogTune> tunes = catalog_tunes();
    if (tunes.empty()) GTEST_SKIP() << "no ../shared/corpus";
    Levels lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 0.0}, hi;
    for (const CatalogTune &t : tunes) {
        if (!t.recorded) continue;
        auto tune = load(t.path);
        if (!tune) continue;
        Levels l = levels_of(render_tune(tune, RATE));
        lo.peak = std::min(lo.peak, l.peak);
        lo.rms = std::min(lo.rms, l.rms);
        hi.peak = std::max(hi.peak, l.peak);
        hi.rms = std::max(hi.rms, l.rms);
    }
    ASSERT_GT(hi.rms, 0.0) << "no recorded tune rendered";
    int checked = 0;
    for (const CatalogTune &t : tunes) {
        if (t.recorded) continue;
        SCOPED_TRACE(t.path);
        auto tune = load(t.path);
        if (!tune) continue;
        checked++;
        Levels l = levels_of(render_tune(tune, RATE));
        EXPECT_LE(l.clipped, max_clipped(t.path));
        EXPECT_GE(l.peak, lo.peak / MARGIN);
        EXPECT_GE(l.rms, lo.rms / MARGIN);
        EXPECT_LE(l.rms, hi.rms * MARGIN);
        for (int u = 0; u < tune->unit_count; u++) {
            if (!has_notes(*tune, u)) continue;
            EXPECT_GT(levels_of(render_tune(solo(*tune, u), RATE)).peak, HEARD) << "unit " << u;
        }
    }
    EXPECT_GT(checked, 0);
}
