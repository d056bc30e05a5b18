#include "api/pass_player.h"

#include <algorithm>
#include <limits>
#include <cmath>

namespace pxtone {

namespace {

constexpr int SCRATCH_FRAMES = 4096;

}  // namespace

PassPlayer::PassPlayer(std::shared_ptr<const Tune> tune, int rate, int channels)
    : tune_(tune), rate_(rate), channels_(channels), renderer_(tune, rate), clock_(tune->master, rate),
      scratch_(size_t(SCRATCH_FRAMES) * size_t(channels)), ring_cap_(RING_OUT_MAX_SECONDS * rate) {
    body_end_ = canonical_body_end();
}

void PassPlayer::set_loops(int loops) {
    if (song_frames() <= 0 || ended()) return;  // nothing to repeat, or nothing left
    if (ringing_) {
        if (loops != LOOP_FOREVER && loops <= loops_) return;
        ringing_ = false;
        loops_ = loops;
    } else {
        const int64_t playing = std::min<int64_t>(renderer_.pass(), std::numeric_limits<int>::max());
        loops_ = loops != LOOP_FOREVER && loops < playing ? int(playing) : loops;
    }
    renderer_.set_loop(loops_ != 1);
    body_end_ = body_end_from_here();
}

// Where the last pass ends, going on from the renderer's place: the first
// pass alone ends at the song's end, a pass followed or preceded by others
// at the loop's end.
int64_t PassPlayer::body_end_from_here() const {
    if (loops_ == LOOP_FOREVER) return -1;
    const int64_t pos = renderer_.position();
    if (loops_ == 1) return out_pos_ + std::max<int64_t>(0, song_frames() - pos);
    const int64_t span = renderer_.loop_end() - renderer_.repeat_frame();
    return out_pos_ + std::max<int64_t>(0, renderer_.loop_end() - pos) + (loops_ - renderer_.pass()) * span;
}

// The same from the start of the output.
int64_t PassPlayer::canonical_body_end() const {
    if (loops_ == LOOP_FOREVER) return -1;
    if (loops_ == 1 || song_frames() <= 0) return std::max<int64_t>(song_frames(), 0);
    const int64_t span = renderer_.loop_end() - renderer_.repeat_frame();
    return renderer_.loop_end() + int64_t(loops_ - 1) * span;
}

int64_t PassPlayer::fade_frames() const {
    if (body_end_ < 0 || !(fade_seconds_ > 0.0)) return 0;
    const double f = fade_seconds_ * rate_;
    return f >= double(body_end_) ? body_end_ : std::min(body_end_, int64_t(std::llround(f)));
}

void PassPlayer::begin_ring_out() {
    ringing_ = true;
    renderer_.set_loop(false);
}

// The last `fade` frames of the body fall linearly to silence, the very last
// frame being 0.
void PassPlayer::apply_fade(int16_t *samples, int64_t first, int count, int64_t fade) const {
    const int64_t fade_start = body_end_ - fade;
    for (int i = 0; i < count; i++) {
        const int64_t frame = first + i;
        if (frame < fade_start) continue;
        const float gain = float(body_end_ - 1 - frame) / float(fade);
        for (int c = 0; c < channels_; c++) {
            int16_t &s = samples[size_t(channels_) * size_t(i) + size_t(c)];
            s = int16_t(std::lround(float(s) * std::max(gain, 0.0f)));
        }
    }
}

int PassPlayer::render(int16_t *out, int frames) {
    if (!out || frames <= 0) return 0;
    const int64_t fade = fade_frames();
    int done = 0;
    while (done < frames) {
        if (body_end_ >= 0 && out_pos_ >= body_end_) {
            if (fade > 0) break;
            if (!ringing_) begin_ring_out();
        }
        int64_t room = frames - done;
        if (body_end_ >= 0) room = std::min(room, (ringing_ ? body_end_ + ring_cap_ : body_end_) - out_pos_);
        if (room <= 0) {
            ended_ = true;
            break;
        }
        int16_t *at = out + size_t(done) * size_t(channels_);
        const int n = renderer_.render(at, int(room), channels_);
        if (fade > 0) apply_fade(at, out_pos_, n, fade);
        out_pos_ += n;
        done += n;
        if (n < room) {
            ended_ = ringing_;
            break;
        }
    }
    return done;
}

void PassPlayer::seek_body(Renderer &r, int64_t frame) const {
    if (loops_ == 1) {
        r.set_loop(false);
        r.seek(frame);
    } else {
        r.seek_looped(frame);
    }
}

void PassPlayer::seek(int64_t frame) {
    frame = std::max<int64_t>(frame, 0);
    ringing_ = false;
    ended_ = false;
    body_end_ = canonical_body_end();
    const int64_t in_body = body_end_ < 0 ? frame : std::min(frame, body_end_);
    seek_body(renderer_, in_body);
    out_pos_ = in_body;
    // Into the echoes: they are rendered and dropped (a fade ends the output
    // at the body's end instead).
    for (int64_t left = frame - in_body; left > 0;) {
        const int n = render(scratch_.data(), int(std::min<int64_t>(left, SCRATCH_FRAMES)));
        if (n <= 0) break;
        left -= n;
    }
}

int64_t PassPlayer::measure_ring_out() {
    if (ring_loops_ == loops_) return ring_frames_;
    auto ring_out = [&](Renderer &r) {
        seek_body(r, canonical_body_end());
        r.set_loop(false);
        int64_t n = 0, got;
        while (n < ring_cap_ &&
               (got = r.render(scratch_.data(), int(std::min<int64_t>(SCRATCH_FRAMES, ring_cap_ - n)), channels_)) > 0)
            n += got;
        return n;
    };
    if (out_pos_ == 0 && !ringing_) {
        // Nothing played yet: this renderer is borrowed and put back at the
        // start, where it is exactly as it was made.
        ring_frames_ = ring_out(renderer_);
        seek_body(renderer_, 0);
    } else {
        Renderer other(tune_, rate_);
        ring_frames_ = ring_out(other);
    }
    ring_loops_ = loops_;
    return ring_frames_;
}

int64_t PassPlayer::output_frames() {
    if (loops_ == LOOP_FOREVER) return -1;
    if (fade_frames() > 0) return std::max(body_end_, out_pos_);  // set while the echoes rang: over now
    if (ended_) return out_pos_;
    return body_end_ + measure_ring_out();
}

PassPosition PassPlayer::position() const {
    PassPosition p;
    p.frame = out_pos_;
    p.pass = renderer_.pass();
    const int64_t song = song_frames();
    if (ringing_ || (body_end_ >= 0 && out_pos_ >= body_end_)) {
        p.song_frame = song;
    } else if (renderer_.loop() && song > 0 && renderer_.position() >= renderer_.loop_end()) {
        p.song_frame = renderer_.repeat_frame();  // the jump back comes with the next frame
        p.pass++;
    } else {
        p.song_frame = std::min(renderer_.position(), song);
    }
    p.tick = std::min(clock_.tick_of(std::max<int64_t>(p.song_frame, 0)), tune_->end_clock);
    return p;
}

bool PassPlayer::ended() const {
    if (body_end_ >= 0 && out_pos_ >= body_end_ && fade_frames() > 0) return true;
    if (ended_) return true;
    return loops_ != LOOP_FOREVER && ring_loops_ == loops_ && body_end_ == canonical_body_end() &&
           out_pos_ >= body_end_ + ring_frames_;
}

}  // namespace pxtone
