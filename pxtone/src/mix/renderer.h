// Renderer: plays one tune into sample frames at a fixed output rate. The
// same code serves the sound card stream and offline rendering (ptrender).
// Not thread-safe: one owner at a time (the streamer guards it).
#ifndef PXTONE_RENDERER_H
#define PXTONE_RENDERER_H

#include <cstdint>
#include <memory>

#include "tune.h"

namespace pxtone {

class Renderer {
public:
    // sample_rate 8000..192000. The tune is shared, never modified.
    Renderer(std::shared_ptr<const Tune> tune, int sample_rate);
    ~Renderer();
    Renderer(const Renderer &) = delete;
    Renderer &operator=(const Renderer &) = delete;

    // Loop on: at the song's end play continues from its repeat position.
    void set_loop(bool on);
    // Moves to a sample frame from the song's start, clamped to 0..length().
    // Notes that would be sounding there start from that point, and what
    // follows is exactly what playing from the start would give there.
    // Costs a replay of the events up to there (without mixing) plus a
    // short mixed stretch.
    void seek(int64_t frame);

    // Turns the loop on and moves to frame `frame` of the looped output: the
    // first pass from the start to loop_end(), each later one from
    // repeat_frame() to loop_end(). What follows is exactly what rendering
    // from the start with loop on gives there. A frame at the end of a pass
    // is still in that pass, the jump back to come. Costs as seek().
    void seek_looped(int64_t frame);

    // Writes up to `frames` frames of interleaved signed 16-bit samples with
    // `channels` (1 or 2) channels. Returns the frames written: fewer than
    // asked only when the song has ended with loop off (0 once ended).
    // With loop off, the song's notes stop at length(); the echoes of a
    // delay effect then ring out for a while before the end (so position()
    // can pass length()). Real-time safe: no allocation, no I/O, bounded
    // work per frame. Bad arguments write nothing and return 0.
    int render(int16_t *out, int frames, int channels);

    // Frame position of the next frame render() will write.
    int64_t position() const;
    // The same position in ticks, at most the song's end (also while the
    // echoes ring out after it).
    int32_t position_ticks() const;
    // Song length in frames at this rate (one pass, no loop).
    int64_t length() const;
    // With loop on: the frames that `passes` plays of the song take, the
    // first from the start and each later one from the repeat position, up
    // to the jump back that would follow the last. 0 for no passes or an
    // empty song.
    int64_t looped_length(int passes) const;
    // With loop on, the frame where play jumps back (the song's end, or 50 ms
    // after the repeat position for a shorter loop), and the one it jumps to.
    int64_t loop_end() const;
    int64_t repeat_frame() const;
    // The pass the position is in: 1, and one more at each jump back.
    int64_t pass() const;
    bool loop() const;
    // True once, with loop off, the last sound (echoes included) is out.
    bool ended() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace pxtone

#endif
