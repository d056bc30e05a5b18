#include "voices/note_slot.h"

#include <algorithm>
#include <cmath>

#include "voices/wave_table.h"

namespace pxtone {

namespace {

constexpr int MAX_BLOCK = 1024;

// Frames from key-off to silence of a ptvoice layer.
int64_t release_of(const NoteSlot &n, int layer) { return n.vp->layers[layer].envelope.release; }

// Age at which a layer (any layer of a sample voice) falls silent: the end of
// its release, or the start of the unit's next note if that comes first.
int64_t end_age(const NoteSlot &n, int layer) {
    const int64_t r = n.vp->is_sample ? 0 : release_of(n, layer);
    return std::min(n.off_age >= NEVER ? NEVER : n.off_age + r, n.next_age);
}

// Frames after which the note is silent for good (NEVER when unknown).
int64_t death_age(const NoteSlot &n) {
    if (n.vp->is_sample) return end_age(n, 0);
    int64_t d = 0;
    for (int l = 0; l < n.vp->layer_count; l++) d = std::max(d, end_age(n, l));
    return d;
}

// Amplitude of layer `layer` for `frames` frames from the note's age.
void amplitude(NoteSlot &n, int layer, int frames, float *g) {
    const VoicePlay &vp = *n.vp;
    const FrameEnvelope *env = vp.is_sample ? nullptr : &vp.layers[layer].envelope;
    const int64_t rel = env ? release_of(n, layer) : 0;
    constexpr float STEP = 1.0f / ENVELOPE_FULL;
    if (!env) {
        std::fill(g, g + frames, 1.0f);
    } else {
        // Before key-off the envelope's head, after it the release.
        const int head = int(std::clamp<int64_t>(n.off_age - n.age, 0, frames));
        for (int i = 0; i < head; i++) g[i] = float(env->head_level(n.age + i, n.seg[layer])) * STEP;
        const int64_t from = n.off_level[layer];
        for (int i = head; i < frames; i++) {
            const int64_t r = n.age + i - n.off_age;
            g[i] = r >= rel ? 0.0f : float(from - from * r / rel) * STEP;  // whole steps, as the head
        }
    }
    // Smooth voices fade out over the last `end_fade` frames before they
    // fall silent. The shaping below touches only the frames it applies to.
    const int64_t end = end_age(n, layer);
    for (int64_t a = std::max(n.age, end - vp.end_fade); a < n.age + frames; a++) {
        const int64_t left_frames = end - a;
        g[a - n.age] *= left_frames <= 0 ? 0.0f : left_frames >= vp.end_fade ? 1.0f : float(left_frames) / float(vp.end_fade);
    }
    for (int64_t a = n.age; a < std::min<int64_t>(vp.attack, n.age + frames); a++)
        g[a - n.age] *= float(a) / float(vp.attack);
    if (n.fade_age >= 0) {
        for (int i = 0; i < frames; i++) {
            const int64_t f = n.fade_age + i;
            g[i] *= f >= vp.cut_fade ? 0.0f : 1.0f - float(f) / float(vp.cut_fade);
        }
    }
}

void render_layer(NoteSlot &n, int layer, int frames, const float *g, float *left, float *right) {
    const LayerPlay &lp = n.vp->layers[layer];
    if (!lp.table) return;
    const float *t = lp.table;
    const uint64_t size = lp.table_size;
    const float gl = lp.gain_left * n.gain_left, gr = lp.gain_right * n.gain_right;
    uint32_t ph = n.phase[layer];
    const uint32_t inc = n.inc[layer];
    for (int i = 0; i < frames; i++) {
        // The sample the phase falls in, as the editor plays its tables.
        float s = t[(uint64_t(ph) * size) >> 32] * g[i];
        left[i] += s * gl;
        right[i] += s * gr;
        ph += inc;
    }
}

// Adds frames of a sample from `pos` on, stepping `step`, for `frames`
// frames that all fall inside it.
template <int CHANNELS>
uint64_t add_sample_span(const float *d, uint64_t pos, uint64_t step, int frames, const float *g, float gl, float gr,
                         float *left, float *right) {
    for (int i = 0; i < frames; i++) {
        // The sample the position falls in, as the editor plays samples.
        const uint64_t idx = pos >> 32;
        const float l = d[CHANNELS * idx], r = d[CHANNELS * idx + CHANNELS - 1];
        left[i] += l * g[i] * gl;
        right[i] += r * g[i] * gr;
        pos += step;
    }
    return pos;
}

// Sample voices; returns false once a one-shot sample has run out.
bool render_sample(NoteSlot &n, int frames, const float *g, float *left, float *right) {
    const VoicePlay &vp = *n.vp;
    const Sample &s = vp.voice->sample;
    const uint64_t end = uint64_t(s.frames()) << 32;
    const float gl = vp.sample_gain * n.gain_left, gr = vp.sample_gain * n.gain_right;
    uint64_t pos = n.pos;
    for (int i = 0; i < frames;) {
        if (pos >= end) {
            if (!s.loop) {
                n.pos = pos;
                return false;
            }
            pos %= end;
        }
        // The frames before the position reaches the end, at most.
        int span = frames - i;
        if (n.step > 0) span = int(std::min<uint64_t>(uint64_t(span), (end - pos - 1) / n.step + 1));
        pos = s.channels == 2 ? add_sample_span<2>(s.data.data(), pos, n.step, span, g + i, gl, gr, left + i, right + i)
                              : add_sample_span<1>(s.data.data(), pos, n.step, span, g + i, gl, gr, left + i, right + i);
        i += span;
    }
    n.pos = pos;
    return true;
}

// (a + b k) mod m, for a < m, without overflow and without 128-bit
// integers (which 32-bit targets lack): b doubled across k's bits.
uint64_t mul_add_mod(uint64_t a, uint64_t b, uint32_t k, uint64_t m) {
    const auto add = [m](uint64_t x, uint64_t y) { return x >= m - y ? x - (m - y) : x + y; };
    for (b %= m; k != 0; k >>= 1) {
        if (k & 1) a = add(a, b);
        b = add(b, b);
    }
    return a;
}

// Advances a sample position as render_sample would; false once it ran out.
bool advance_sample(NoteSlot &n, int frames) {
    const Sample &s = n.vp->voice->sample;
    const uint64_t end = uint64_t(s.frames()) << 32;
    uint64_t pos = n.pos;
    if (pos >= end && !s.loop) return false;
    if (s.loop) {
        // The same as stepping frame by frame (wrap on overrun, then add the
        // step), in one go: after k steps from a wrapped p the position is
        // (p + step (k - 1)) mod end + step.
        if (frames > 0) {
            if (pos >= end) pos %= end;
            n.pos = mul_add_mod(pos, n.step, uint32_t(frames - 1), end) + n.step;
        }
        return true;
    }
    pos += n.step * uint64_t(frames);
    n.pos = pos;
    return true;
}

// A step in 32.32 fixed point, limited to 0..most; NaN counts as 0.
uint64_t fixed_step(double step, double most) {
    step *= 4294967296.0;
    // Rounded: a pitch whose period is a whole number of frames keeps exact
    // time (truncated, it read the table a quarter frame late).
    return step > 0.0 ? uint64_t(std::min(step, most) + 0.5) : 0;
}

}  // namespace

void note_start(NoteSlot &n, const VoicePlay *vp, int64_t length, int64_t next) {
    n = NoteSlot();
    if (!vp || vp->silent) return;
    n.vp = vp;
    n.off_age = std::max<int64_t>(length, 0);
    n.next_age = std::max<int64_t>(next, 0);
    for (int l = 0; l < vp->layer_count; l++) {
        uint32_t cursor = 0;
        n.off_level[l] = vp->layers[l].envelope.head_level(n.off_age, cursor);
    }
    if (vp->is_sample) n.off_level[0] = ENVELOPE_FULL;
}

void note_set_pitch(NoteSlot &n, double factor) {
    if (!n.vp) return;
    for (int l = 0; l < n.vp->layer_count; l++)
        n.inc[l] = uint32_t(fixed_step(n.vp->layers[l].pitch * factor, 2147483647.0));
    n.step = fixed_step(n.vp->sample_step * factor, 1e15);
}

void note_cut(NoteSlot &n) {
    if (!n.vp || n.vp->cut_fade <= 0) {
        n.vp = nullptr;
        return;
    }
    if (n.fade_age < 0) n.fade_age = 0;
}

void note_render(NoteSlot &n, int frames, float *left, float *right) {
    while (n.vp && frames > 0) {
        const int chunk = std::min(frames, MAX_BLOCK);
        bool alive = true;
        if (left) {
            float g[MAX_BLOCK];
            if (n.vp->is_sample) {
                amplitude(n, 0, chunk, g);
                alive = render_sample(n, chunk, g, left, right);
            } else {
                for (int l = 0; l < n.vp->layer_count; l++) {
                    amplitude(n, l, chunk, g);
                    render_layer(n, l, chunk, g, left, right);
                }
            }
            left += chunk;
            right += chunk;
        } else if (n.vp->is_sample) {
            alive = advance_sample(n, chunk);
        }
        if (!n.vp->is_sample)
            for (int l = 0; l < n.vp->layer_count; l++) n.phase[l] += uint32_t(uint64_t(n.inc[l]) * uint64_t(chunk));
        n.age += chunk;
        if (n.fade_age >= 0) n.fade_age += chunk;
        if (!alive || n.age >= death_age(n) || (n.fade_age >= 0 && n.fade_age >= n.vp->cut_fade))
            n.vp = nullptr;
        frames -= chunk;
    }
}

}  // namespace pxtone
