#include "effects/delay_effect.h"

#include <algorithm>
#include <cmath>

namespace pxtone {

namespace {

constexpr int MAX_BLOCK_FRAMES = 4096;
constexpr double MAX_DELAY_SECONDS = 10.0;

}  // namespace

double delay_seconds(const Delay &d, const Master &m) {
    const double beat = 60.0 / double(m.tempo);
    double freq = std::isfinite(d.frequency) && d.frequency > 0.0f ? d.frequency : 1.0;
    double unit = d.time_unit == 1 ? beat * m.beat_num : d.time_unit == 2 ? 1.0 : beat;
    return std::min(unit / freq, MAX_DELAY_SECONDS);
}

DelayEffect::DelayEffect(const Delay &d, const Master &m, int rate)
    : group_(d.group),
      feedback_(std::isfinite(d.rate_percent) ? std::min(std::max(d.rate_percent, 0.0f), 99.0f) / 100.0f
                                              : 0.0f) {
    size_t n = size_t(std::max<int64_t>(1, std::llround(delay_seconds(d, m) * rate)));
    line_left_.assign(n, 0.0f);
    line_right_.assign(n, 0.0f);
    in_left_.assign(MAX_BLOCK_FRAMES, 0.0f);
    in_right_.assign(MAX_BLOCK_FRAMES, 0.0f);
    // Echoes fall by `feedback` per pass: count the passes to -200 dB, where
    // what came before is below a float's precision, so that mixing this long
    // fills the line to the bit (a seek is exact).
    int passes = feedback_ > 0.0f ? int(std::ceil(-10.0 / std::log10(double(feedback_)))) : 1;
    memory_ = int64_t(n) * std::min(passes + 1, 200);
}

void DelayEffect::reset(int64_t frame) {
    std::fill(line_left_.begin(), line_left_.end(), 0.0f);
    std::fill(line_right_.begin(), line_right_.end(), 0.0f);
    at_ = size_t(std::max<int64_t>(frame, 0) % int64_t(line_left_.size()));
    pass_peak_ = last_pass_peak_ = 0.0f;
}

float DelayEffect::loudest() const { return std::max(pass_peak_, last_pass_peak_) * feedback_; }

void DelayEffect::clear_input(int frames) {
    std::fill(in_left_.begin(), in_left_.begin() + std::min(frames, MAX_BLOCK_FRAMES), 0.0f);
    std::fill(in_right_.begin(), in_right_.begin() + std::min(frames, MAX_BLOCK_FRAMES), 0.0f);
}

void DelayEffect::add_input(const float *left, const float *right, int frames) {
    for (int i = 0; i < std::min(frames, MAX_BLOCK_FRAMES); i++) {
        in_left_[size_t(i)] += left[i];
        in_right_[size_t(i)] += right[i];
    }
}

void DelayEffect::process(float *left, float *right, int frames) {
    const size_t n = line_left_.size();
    for (int i = 0; i < std::min(frames, MAX_BLOCK_FRAMES); i++) {
        float el = line_left_[at_] * feedback_, er = line_right_[at_] * feedback_;
        left[i] += el;
        right[i] += er;
        float wl = in_left_[size_t(i)] + el, wr = in_right_[size_t(i)] + er;
        line_left_[at_] = wl;
        line_right_[at_] = wr;
        pass_peak_ = std::max(pass_peak_, std::max(std::fabs(wl), std::fabs(wr)));
        if (++at_ == n) {
            at_ = 0;
            last_pass_peak_ = pass_peak_;
            pass_peak_ = 0.0f;
        }
    }
}

}  // namespace pxtone
