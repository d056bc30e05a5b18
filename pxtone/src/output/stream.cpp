#include "output/stream.h"

#include <algorithm>

namespace pxtone {

void Stream::set_output(int channels, PXTONEPLAY_CALLBACK callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    channels_ = channels;
    callback_.store(callback, std::memory_order_release);
}

TuneHandle Stream::start(TuneHandle tune, int64_t fade_length) {
    std::lock_guard<std::mutex> lock(mutex_);
    tune_.swap(tune);
    bw_set_loops(tune_.get(), loop_ ? BW_LOOP_FOREVER : 1);
    fade_ = StreamFade(fade_length);
    playing_ = true;
    cut_ = true;
    stopped_at_ = -1;
    streaming_.store(true, std::memory_order_release);
    return tune;
}

int64_t Stream::stop(int64_t unheard) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool was_playing = playing_;
    cut_ = cut_ || playing_;
    playing_ = false;
    streaming_.store(false, std::memory_order_release);
    // At most the song's end, also while a delay's echoes ring out after it.
    bw_position at{};
    bw_get_position(tune_.get(), &at);
    if (was_playing)
        stopped_at_ = unheard > 0 ? song_frame_at(std::max<int64_t>(0, at.frame - unheard))
                                  : at.song_frame;
    return stopped_at_ >= 0 ? stopped_at_ : at.song_frame;
}

// The song position of output frame `frame`: output frames run through the
// first pass, then each later one from the repeat position.
int64_t Stream::song_frame_at(int64_t frame) {
    bw_info info{};
    bw_get_info(tune_.get(), &info, sizeof info);
    if (frame < info.frames || info.repeat_frames <= 0) return std::min(frame, info.frames);
    return info.repeat_frame + (frame - info.frames) % info.repeat_frames;
}

TuneHandle Stream::take_tune() {
    std::lock_guard<std::mutex> lock(mutex_);
    cut_ = cut_ || playing_;
    playing_ = false;
    stopped_at_ = -1;
    streaming_.store(false, std::memory_order_release);
    return std::move(tune_);
}

void Stream::set_loop(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    loop_ = on;
    bw_set_loops(tune_.get(), on ? BW_LOOP_FOREVER : 1);
}

bool Stream::render_locked(int16_t *out, int frames, int32_t *ticks, bool *cut) {
    std::lock_guard<std::mutex> lock(mutex_);
    *cut = cut_;
    cut_ = false;
    std::fill(out, out + frames * channels_, int16_t(0));
    if (!playing_) return false;
    bw_position at{};
    bw_get_position(tune_.get(), &at);
    *ticks = at.tick;
    int made = bw_render(tune_.get(), out, frames);
    made = std::clamp(made, 0, frames);
    fade_.apply(out, made, channels_);
    if (made == 0) {
        // The previous buffer held the last sound: the tune is over.
        playing_ = false;
        streaming_.store(false, std::memory_order_release);
    }
    return true;
}

bool Stream::fill(int16_t *out, int frames) {
    int32_t ticks = 0;
    bool cut = false;
    bool played = render_locked(out, frames, &ticks, &cut);
    PXTONEPLAY_CALLBACK callback = callback_.load(std::memory_order_acquire);
    if (played && callback) callback(ticks);
    return cut;
}

}  // namespace pxtone
