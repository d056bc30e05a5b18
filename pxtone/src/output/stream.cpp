#include "output/stream.h"

#include <algorithm>

namespace pxtone {

void Stream::set_output(int channels, PXTONEPLAY_CALLBACK callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    channels_ = channels;
    callback_.store(callback, std::memory_order_release);
}

std::unique_ptr<Renderer> Stream::start(std::unique_ptr<Renderer> renderer, int64_t fade_length) {
    std::lock_guard<std::mutex> lock(mutex_);
    renderer_.swap(renderer);
    renderer_->set_loop(loop_);
    fade_ = StreamFade(fade_length);
    playing_ = true;
    streaming_.store(true, std::memory_order_release);
    return renderer;
}

int64_t Stream::stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    playing_ = false;
    streaming_.store(false, std::memory_order_release);
    // Past the end only while a delay's echoes ring out: a start there would
    // be clamped to the end anyway.
    return renderer_ ? std::min(renderer_->position(), renderer_->length()) : 0;
}

std::unique_ptr<Renderer> Stream::take_renderer() {
    std::lock_guard<std::mutex> lock(mutex_);
    playing_ = false;
    streaming_.store(false, std::memory_order_release);
    return std::move(renderer_);
}

void Stream::set_loop(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    loop_ = on;
    if (renderer_) renderer_->set_loop(on);
}

bool Stream::render_locked(int16_t *out, int frames, int32_t *ticks) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(out, out + frames * channels_, int16_t(0));
    if (!playing_) return false;
    *ticks = renderer_->position_ticks();
    int made = renderer_->render(out, frames, channels_);
    made = std::clamp(made, 0, frames);
    fade_.apply(out, made, channels_);
    if (made == 0) {
        // The previous buffer held the last sound: the tune is over.
        playing_ = false;
        streaming_.store(false, std::memory_order_release);
    }
    return true;
}

void Stream::fill(int16_t *out, int frames) {
    int32_t ticks = 0;
    bool played = render_locked(out, frames, &ticks);
    PXTONEPLAY_CALLBACK callback = callback_.load(std::memory_order_acquire);
    if (played && callback) callback(ticks);
}

}  // namespace pxtone
