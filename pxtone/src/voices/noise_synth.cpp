// Renders a ptnoise design, following the model measured on the corpus
// recordings: the main frequency is bent exponentially by the FM oscillator,
// +-50 semitones per 100 % of modulator volume; offsets are phase offsets;
// the envelope is linear in amplitude with per-step times; units are summed,
// each at its own volume. Every random oscillator reads the one random
// sequence from its start (its offset moving that start).
#include <algorithm>
#include <cmath>

#include "voices/noise_design.h"
#include "voices/noise_wave.h"

namespace pxtone {

namespace {

// Octaves of frequency change per 1.0 (100 %) of FM depth at the
// modulator's peak (measured 4.16..4.17).
constexpr double FM_OCTAVES = 25.0 / 6.0;
// A random wave bends the frequency twice as far as a periodic modulator of
// the same volume: fitted on the three recordings whose snares and kicks
// have random modulators (bigo, base0, base4), and on ld27 Ending's clean
// WAV, where its held values read from the recorded sequence fit best at
// x1.9-2.0 (x1 leaves 0.21 of the energy at any start, x2 0.089).
constexpr double RANDOM_FM_SCALE = 2.0;

// FM never bends a main oscillator below this (a period of 2^14 samples):
// the deep sweeps of the kicks flatten out here instead of stalling.
// Fitted on ld27 Title's clean WAV, whose kick sweeps two units from 90 and
// 290 Hz down to 0.2-0.3 Hz: residual 1.42 % with no floor, 0.42 / 0.32 /
// 0.31 / 0.33 / 0.45 % at 2 / 2.5 / 2.69 / 3 / 3.5 Hz.
constexpr double MIN_BENT_HZ = 44100.0 / 16384.0;
// Nor above this, whatever a design asks: the phase stays finite.
constexpr double MAX_BENT_HZ = 1e9;
// The main oscillator's cycles are counted modulo this, which changes no
// periodic wave; a random one reaches it only when bent far above the
// output rate, and then starts its draws again.
constexpr double CYCLE_WRAP = 4294967296.0;

// Level of a unit's envelope, walked forward one sample at a time: linear
// steps from 0, each point reached after its own time; the last level holds.
class NoiseEnvelope {
public:
    explicit NoiseEnvelope(const std::vector<NoiseUnit::Point> &pts) : pts_(pts) {
        if (pts_.empty()) level_ = 1.0;
        enter();
    }
    double level() const { return level_; }
    void next(double t) {
        while (seg_ < pts_.size() && t >= seg_end_) {
            start_t_ = seg_end_;
            start_lv_ = pts_[seg_].level;
            seg_++;
            enter();
        }
        if (seg_ >= pts_.size()) {
            level_ = pts_.empty() ? 1.0 : start_lv_;
            return;
        }
        const auto &p = pts_[seg_];
        level_ = start_lv_ + (p.level - start_lv_) * (t - start_t_) / p.seconds;
    }

private:
    void enter() {
        if (seg_ < pts_.size()) seg_end_ = start_t_ + pts_[seg_].seconds;
    }
    const std::vector<NoiseUnit::Point> &pts_;
    size_t seg_ = 0;
    double start_t_ = 0.0, start_lv_ = 0.0, seg_end_ = 0.0, level_ = 0.0;
};

// One oscillator's wave, `cycles` after the note began (its offset not
// counted), flipped when reversed. A random modulator holds each value over
// its cycle: ld27 Ending's snare, a 200 Hz sine bent by a 2.2 kHz random,
// its other unit subtracted, leaves 0.089 of its energy with the values
// held (the sequence the random units read, from value 0, depth x2) and
// 0.53 with them interpolated; no other start in its first 1900 values
// leaves under 0.2. AM (none in the corpus) is taken to do the same.
class OscWave {
public:
    OscWave(const NoiseOsc &o, bool modulator)
        : osc_(o), random_(noise_is_random(o.type)),
          type_(random_ && modulator ? int32_t(NOISE_RANDOM2) : o.type),
          values_(o.offset) {}
    bool random() const { return random_; }
    double offset() const { return osc_.offset; }
    double at(double cycles) {
        return random_ ? signed_(values_.wave(type_, cycles)) : periodic(cycles + osc_.offset);
    }
    double periodic(double phase) const { return signed_(noise_wave(osc_.type, phase)); }
    double held(int64_t k) { return signed_(values_.value(k)); }

private:
    double signed_(double v) const { return osc_.reverse ? -v : v; }
    const NoiseOsc &osc_;
    bool random_;
    int32_t type_;
    NoiseRandom values_;
};

// The main oscillator. Its periodic waves are read from a table of
// MAIN_TABLE_SIZE samples a period, sample by sample (the ptvoice overtone
// table's size): the phase is held at the start of its sample. Fitted on
// the kicks and snares of base0, base4 and fakeart (base0 spec_corr 0.972 ->
// 0.986); quantising the modulators as well fits worse. Random waves are
// read at the phase itself, but one drawn at the output rate or above takes
// a new value every second sample, held: the 44.1 kHz clicks of ld27's kick
// read the sequence that its 22 kHz snare reads (interpolated, a value a
// cycle), each value over two samples, while a 44 kHz hiss (row 60) has a
// recording flat to 19 kHz, as a value a sample gives.
class MainWave {
public:
    static constexpr int MAIN_TABLE_SIZE = 400;

    explicit MainWave(const NoiseOsc &o)
        : wave_(o, false), pairs_(wave_.random() && o.freq_hz >= NOISE_RATE) {
        if (!wave_.random())
            for (int k = 0; k < MAIN_TABLE_SIZE; k++)
                table_[k] = wave_.periodic(double(k) / MAIN_TABLE_SIZE);
    }
    double at(double cycles, uint32_t sample) {
        if (pairs_) return wave_.held((int64_t(sample) + 1) / 2);
        if (wave_.random()) return wave_.at(cycles);
        const double phase = cycles + wave_.offset();
        int64_t k = int64_t(std::floor(phase * MAIN_TABLE_SIZE)) % MAIN_TABLE_SIZE;
        return table_[k < 0 ? k + MAIN_TABLE_SIZE : k];
    }

private:
    OscWave wave_;
    bool pairs_;
    double table_[MAIN_TABLE_SIZE] = {};
};

void render_unit(const NoiseUnit &u, uint32_t n, std::vector<double> &out) {
    if (!u.has_main) return;
    NoiseEnvelope env(u.envelope);
    MainWave main(u.main);
    OscWave fm(u.fm, true), am(u.am, true);
    double cycles = 0.0;  // of the main oscillator since the note began
    for (uint32_t i = 0; i < n; i++) {
        double t = i / NOISE_RATE;
        double f = u.main.freq_hz;
        if (u.has_fm) {
            double m = fm.at(u.fm.freq_hz * t);
            if (fm.random()) m *= RANDOM_FM_SCALE;
            f = std::min(std::max(f * std::exp2(FM_OCTAVES * u.fm.volume * m), MIN_BENT_HZ),
                         MAX_BENT_HZ);
        }
        env.next(t);
        double v = u.main.volume * main.at(cycles, i) * env.level();
        if (u.has_am) {
            double m = am.at(u.am.freq_hz * t);
            v *= (1.0 + u.am.volume * m) * 0.5;
        }
        out[i] += v;
        cycles += f / NOISE_RATE;
        if (cycles >= CYCLE_WRAP) cycles = std::fmod(cycles, CYCLE_WRAP);
    }
}

}  // namespace

Sample synthesise_noise(const NoiseDesign &design) {
    const uint32_t n = design.samples;
    bool stereo = false;
    for (const NoiseUnit &u : design.units) stereo = stereo || u.pan != 0;
    std::vector<double> left(n, 0.0), right;
    if (stereo) right.assign(n, 0.0);
    std::vector<double> unit_buf(n);
    for (size_t k = 0; k < design.units.size(); k++) {
        const NoiseUnit &u = design.units[k];
        std::fill(unit_buf.begin(), unit_buf.end(), 0.0);
        render_unit(u, n, unit_buf);
        // Pan: the far side falls linearly to silence at +-100.
        double gl = u.pan > 0 ? (100 - u.pan) / 100.0 : 1.0;
        double gr = u.pan < 0 ? (100 + u.pan) / 100.0 : 1.0;
        for (uint32_t i = 0; i < n; i++) {
            left[i] += unit_buf[i] * (stereo ? gl : 1.0);
            if (stereo) right[i] += unit_buf[i] * gr;
        }
    }
    Sample s;
    s.rate = NOISE_RATE;
    s.loop = false;
    s.channels = stereo ? 2 : 1;
    s.data.resize(size_t(n) * s.channels);
    for (uint32_t i = 0; i < n; i++) {
        if (stereo) {
            s.data[2 * i] = float(left[i]);
            s.data[2 * i + 1] = float(right[i]);
        } else {
            s.data[i] = float(left[i]);
        }
    }
    return s;
}

}  // namespace pxtone
