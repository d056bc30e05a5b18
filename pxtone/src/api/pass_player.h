// PassPlayer: a tune's output as the library hands it out, counted in output
// frames: the song's passes (the first from the start, each later one from
// the repeat position, as the jukebox's loop mode plays it), then either the
// delays' echoes ringing out or, with a fade, the last seconds of the last
// pass falling to silence and the output ending there. Built on a Renderer;
// one owner at a time, like it.
#ifndef PXTONE_PASS_PLAYER_H
#define PXTONE_PASS_PLAYER_H

#include <cstdint>
#include <memory>
#include <vector>

#include "mix/renderer.h"
#include "mix/song_clock.h"
#include "tune.h"

namespace pxtone {

// Passes for ever.
constexpr int LOOP_FOREVER = 0;
// The echoes ring out for at most this long (a hostile delay could ring on
// for hours; real ones take seconds).
constexpr int64_t RING_OUT_MAX_SECONDS = 3600;

struct PassPosition {
    int64_t frame = 0;       // in the output
    int64_t song_frame = 0;  // in the song, at most its end
    int32_t tick = 0;
    int64_t pass = 1;
};

class PassPlayer {
public:
    // rate 8000..192000, channels 1 or 2.
    PassPlayer(std::shared_ptr<const Tune> tune, int rate, int channels);

    // 1 or more passes, or LOOP_FOREVER. A count below the pass playing makes
    // that one the last. While the echoes ring out after the last pass, a
    // higher count goes on at once with the next pass (the echoes so far stay
    // in the output); once a fade has ended the output, nothing changes.
    void set_loops(int loops);
    int loops() const { return loops_; }
    // Seconds (finite, >= 0) the last pass fades out over; 0 none.
    void set_fade(double seconds) { fade_seconds_ = seconds; }

    // Writes up to `frames` frames; fewer only at the output's end.
    int render(int16_t *out, int frames);
    // Moves to output frame `frame`, clamped to 0 and the output's end.
    void seek(int64_t frame);
    // The whole output in frames, echoes included; -1 for ever. The echoes'
    // length is found by rendering them once (kept for the loop count).
    int64_t output_frames();
    PassPosition position() const;
    bool ended() const;

    int64_t song_frames() const { return renderer_.length(); }
    int64_t repeat_frame() const { return renderer_.repeat_frame(); }

private:
    int64_t fade_frames() const;
    int64_t body_end_from_here() const;
    int64_t canonical_body_end() const;
    void begin_ring_out();
    void apply_fade(int16_t *samples, int64_t first, int count, int64_t fade) const;
    int64_t measure_ring_out();
    void seek_body(Renderer &r, int64_t frame) const;

    std::shared_ptr<const Tune> tune_;
    int rate_, channels_;
    Renderer renderer_;
    SongClock clock_;
    std::vector<int16_t> scratch_;
    int loops_ = 1;              // never below the pass playing
    double fade_seconds_ = 0.0;
    int64_t out_pos_ = 0;
    int64_t body_end_ = 0;       // output frame where the last pass ends; -1 for ever
    int64_t ring_cap_ = 0;
    bool ringing_ = false;       // the echoes ring out after the last pass
    bool ended_ = false;         // a render found the end
    int ring_loops_ = -1;        // the loop count ring_frames_ was measured for
    int64_t ring_frames_ = 0;
};

}  // namespace pxtone

#endif
