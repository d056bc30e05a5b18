#include "render_song.h"

#include <gtest/gtest.h>

#include "mix/renderer.h"

namespace test_support {

std::shared_ptr<const pxtone::Tune> load_song(const tune_builder::Song &s) {
    std::vector<uint8_t> bytes = tune_builder::build(s);
    pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "test");
    EXPECT_TRUE(r.tune) << r.error;
    EXPECT_EQ(r.warning, "");
    return r.tune;
}

std::vector<int16_t> render_tune(std::shared_ptr<const pxtone::Tune> tune, int rate,
                                 int64_t max_frames) {
    std::vector<int16_t> out;
    if (!tune) return out;
    pxtone::Renderer r(tune, rate);
    int16_t buf[2 * 1000];
    int n;
    while ((n = r.render(buf, 1000, 2)) > 0) {
        out.insert(out.end(), buf, buf + 2 * n);
        if (max_frames >= 0 && int64_t(out.size() / 2) >= max_frames) break;
    }
    return out;
}

std::vector<int16_t> render_song(const tune_builder::Song &s, int rate) {
    return render_tune(load_song(s), rate);
}

}  // namespace test_support
