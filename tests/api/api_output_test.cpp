// The output through the library: its length, the passes, the fade and the
// ring-out; seek then render gives what rendering from the start gives
// there, in any pass and in the echoes; block sizes and a loop count changed
// while rendering do not change the sound.
#include <algorithm>

#include "api_songs.h"

namespace tb = tune_builder;

namespace {

struct Output {
    const char *what;
    int rate, channels, loops;
    double fade;
};

const Output OUTPUTS[] = {
    {"once, echoes", 22050, 2, 1, 0.0}, {"three passes", 22050, 2, 3, 0.0},
    {"two passes faded", 44100, 2, 2, 1.5}, {"mono at 8000", 8000, 1, 4, 0.0},
};

std::vector<int16_t> slice(const std::vector<int16_t> &x, int channels, int64_t from, int64_t frames) {
    const size_t a = size_t(std::min<int64_t>(from * channels, int64_t(x.size())));
    const size_t b = size_t(std::min<int64_t>((from + frames) * channels, int64_t(x.size())));
    return std::vector<int16_t>(x.begin() + long(a), x.begin() + long(b));
}

}  // namespace

TEST(ApiOutput, SeekThenRenderIsRenderingFromTheStartInEveryPassAndTheEchoes) {
    for (const Output &o : OUTPUTS) {
        SCOPED_TRACE(o.what);
        Tune t = loaded(looping_song(), o.rate, o.channels, o.loops, o.fade);
        const int64_t total = bw_output_frames(t.get());
        const std::vector<int16_t> whole = render_on(t.get(), o.channels);
        ASSERT_EQ(int64_t(whole.size()) / o.channels, total) << "bw_output_frames is what renders";
        EXPECT_EQ(bw_ended(t.get()), 1);
        bw_info info;
        ASSERT_EQ(bw_get_info(t.get(), &info, sizeof info), 1);
        const int64_t body = o.loops == 1 ? info.frames : info.frames + (o.loops - 1) * info.repeat_frames;
        if (o.fade > 0) {
            EXPECT_EQ(total, body) << "a fade ends the output with the last pass";
        } else {
            EXPECT_GT(total, body + o.rate / 10) << "the echoes ring out";
        }
        const int settle = o.rate / 100;
        const int64_t second = info.frames + 1, third = info.frames + info.repeat_frames;
        const int64_t at[] = {0, 1, info.repeat_frame + 7, info.frames - 3, info.frames, second,
                              second + settle, third - 1, third + settle / 2, body, body + 999, total - 5};
        for (int64_t frame : at) {
            if (frame > total) continue;
            SCOPED_TRACE(frame);
            ASSERT_EQ(bw_seek(t.get(), frame), 1);
            bw_position pos;
            ASSERT_EQ(bw_get_position(t.get(), &pos), 1);
            EXPECT_EQ(pos.frame, frame);
            EXPECT_EQ(render_on(t.get(), o.channels), slice(whole, o.channels, frame, total));
        }
        ASSERT_EQ(bw_seek(t.get(), total + 12345), 1);
        bw_position end;
        bw_get_position(t.get(), &end);
        EXPECT_EQ(end.frame, total) << "clamped to the output's end";
        EXPECT_EQ(end.song_frame, info.frames);
    }
}

TEST(ApiOutput, BlockSizesAndALoopCountChangedWhileRenderingKeepTheSound) {
    const std::vector<int16_t> twice = render_on(loaded(looping_song(), 22050, 2, 2).get());
    // In blocks of odd sizes, for ever at first, then the second pass made
    // the last while it plays.
    Tune t = loaded(looping_song(), 22050, 2, BW_LOOP_FOREVER);
    EXPECT_EQ(bw_output_frames(t.get()), -1);
    std::vector<int16_t> got = render_on(t.get(), 2, 50000, 333);
    bw_position pos;
    bw_get_position(t.get(), &pos);
    EXPECT_EQ(pos.pass, 2);
    EXPECT_EQ(pos.song_frame, 50000 - 44100 + 22050);
    ASSERT_EQ(bw_set_loops(t.get(), 1), 1);
    const std::vector<int16_t> rest = render_on(t.get(), 2, INT64_MAX, 4097);
    got.insert(got.end(), rest.begin(), rest.end());
    EXPECT_EQ(got, twice);
    // While the echoes ring out, more passes go on at once from the repeat
    // position, as the jukebox's loop button does.
    Tune again = loaded(looping_song(), 22050, 2, 1);
    render_on(again.get(), 2, 44100 + 500);
    ASSERT_EQ(bw_set_loops(again.get(), BW_LOOP_FOREVER), 1);
    render_on(again.get(), 2, 20000);
    bw_get_position(again.get(), &pos);
    EXPECT_EQ(pos.pass, 2);
    EXPECT_EQ(bw_ended(again.get()), 0);
}
