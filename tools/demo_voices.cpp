#include "demo_voices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace demo {

using tune_builder::EnvPoint;
using tune_builder::PtnOsc;
using tune_builder::PtnUnit;
using tune_builder::PtvLayer;
using tune_builder::VoiceKind;

static PtvLayer layer(int volume, std::vector<std::pair<int, int>> overtones,
                      std::vector<EnvPoint> head, int release) {
    PtvLayer l;
    l.volume = volume;
    l.overtones = std::move(overtones);
    l.env_head = std::move(head);
    l.env_tail = {{release, 0}};
    return l;
}

static Voice ptvoice(const char *name, std::vector<PtvLayer> layers) {
    Voice v;
    v.kind = VoiceKind::ptvoice;
    v.name = name;
    v.layers = std::move(layers);
    return v;
}

Voice flute_voice() {
    return ptvoice("flute", {layer(48, {{1, 128}, {2, 20}, {3, 36}, {4, 6}, {5, 8}},
                                   {{4, 128}, {20, 100}}, 12)});
}

Voice warm_pad_voice() {
    std::vector<std::pair<int, int>> saw = {{1, 128}, {2, 128}, {3, 120}, {4, 110},
                                            {5, 90},  {6, 70},  {7, 50},  {8, 30}};
    PtvLayer a = layer(20, saw, {{40, 128}}, 50), b = a;
    a.pan = 40;
    b.pan = 88;
    b.tuning = 1.006f;
    return ptvoice("warm pad", {a, b});
}

Voice round_bass_voice() {
    return ptvoice("round bass",
                   {layer(64, {{1, 128}, {2, 48}, {3, 24}}, {{1, 128}, {30, 80}}, 6)});
}

Voice bell_voice() {
    return ptvoice("bell", {layer(44, {{1, 128}, {2, 30}, {4, 60}, {6, 30}},
                                  {{1, 128}, {120, 20}, {100, 0}}, 30)});
}

Voice square_lead_voice() {
    PtvLayer l = layer(56, {}, {{1, 128}, {15, 96}}, 5);
    l.use_overtones = false;
    l.coord_width = 200;
    l.coords = {{0, 64}, {98, 64}, {100, -64}, {198, -64}};
    return ptvoice("square lead", {l});
}

Voice reed_voice() {
    std::vector<std::pair<int, int>> reed = {{1, 128}, {2, 100}, {3, 110}, {4, 60},
                                             {5, 80},  {6, 30},  {7, 40}};
    PtvLayer a = layer(22, reed, {{3, 128}}, 6), b = a;
    b.tuning = 1.004f;
    return ptvoice("reed", {a, b});
}

static PtnOsc osc(int type, double hz, double volume, double offset = 0) {
    PtnOsc o;
    o.type = type;
    o.freq_hz = hz;
    o.volume_pct = volume;
    o.offset_pct = offset;
    return o;
}

constexpr int SINE = 1, SAW = 2, RANDOM = 4;

static PtnUnit noise_unit(std::vector<EnvPoint> env, PtnOsc main) {
    PtnUnit u;
    u.envelope = std::move(env);
    u.main = main;
    return u;
}

static PtnUnit swept_unit(std::vector<EnvPoint> env, PtnOsc main, PtnOsc fm) {
    PtnUnit u = noise_unit(std::move(env), main);
    u.has_fm = true;
    u.fm = fm;
    return u;
}

static Voice ptnoise(const char *name, double seconds, std::vector<PtnUnit> units) {
    Voice v;
    v.kind = VoiceKind::ptnoise;
    v.name = name;
    v.noise_samples = int(seconds * 44100);
    v.noise_units = std::move(units);
    return v;
}

Voice kick_voice() {
    // A sine that falls from about 180 Hz to 45 Hz, and a short click.
    return ptnoise("kick", 0.2,
                   {swept_unit({{0, 100}, {40, 70}, {100, 0}}, osc(SINE, 50, 100), osc(SAW, 4, 45)),
                    noise_unit({{0, 50}, {6, 0}, {0, 0}}, osc(RANDOM, 8000, 60))});
}

Voice snare_voice() {
    return ptnoise("snare", 0.18,
                   {swept_unit({{0, 100}, {50, 0}, {0, 0}}, osc(SINE, 190, 70), osc(SAW, 3, 10)),
                    noise_unit({{0, 100}, {60, 40}, {90, 0}}, osc(RANDOM, 18000, 90))});
}

Voice hat_voice() {
    return ptnoise("hat", 0.05, {noise_unit({{0, 100}, {25, 20}, {20, 0}}, osc(RANDOM, 36000, 100))});
}

Voice open_hat_voice() {
    return ptnoise("open hat", 0.22,
                   {noise_unit({{0, 90}, {80, 40}, {120, 0}}, osc(RANDOM, 36000, 90))});
}

Voice shaker_voice() {
    return ptnoise("shaker", 0.08,
                   {noise_unit({{15, 60}, {30, 20}, {30, 0}}, osc(RANDOM, 14000, 100))});
}

// A tine: partials at 1, 2, 3 and 5.4 times the pitch, each dying away at
// its own rate, struck with a few milliseconds of noise.
Voice music_box_voice() {
    const int rate = 22050;
    const double f0 = 441.0, seconds = 1.4, pi = 3.14159265358979323846;
    struct Partial {
        double ratio, amp, tau;
    } partials[] = {{1.0, 1.0, 0.9}, {2.0, 0.25, 0.5}, {3.0, 0.08, 0.3}, {5.404, 0.3, 0.12}};
    const int n = int(seconds * rate);
    std::vector<double> s(static_cast<size_t>(n), 0.0);
    uint32_t seed = 12345;
    for (int i = 0; i < n; i++) {
        double t = double(i) / rate, v = 0;
        for (const Partial &p : partials)
            v += p.amp * std::exp(-t / p.tau) * std::sin(2 * pi * f0 * p.ratio * t);
        seed = seed * 1664525u + 1013904223u;
        double noise = (double(seed >> 9) / double(1 << 23)) * 2 - 1;
        v += 0.12 * noise * std::exp(-t / 0.004);
        double attack = std::min(1.0, t / 0.002), tail = std::min(1.0, (seconds - t) / 0.03);
        s[size_t(i)] = v * attack * tail;
    }
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> pcm(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) pcm[size_t(i)] = int16_t(std::lround(s[size_t(i)] / peak * 26000));
    return tune_builder::pcm_voice("music box", pcm, rate, false);
}

}  // namespace demo
