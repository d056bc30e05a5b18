#include "audio_measure.h"

#include <algorithm>
#include <cmath>

namespace test_support {

std::vector<double> channel(const std::vector<int16_t> &frames, int channels, int which) {
    std::vector<double> out(frames.size() / size_t(channels));
    for (size_t i = 0; i < out.size(); i++) out[i] = frames[i * size_t(channels) + size_t(which)] / 32768.0;
    return out;
}

double measure_frequency(const std::vector<double> &x, size_t from, size_t to, int rate) {
    to = std::min(to, x.size());
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; i++) {
        if (x[i - 1] < 0.0 && x[i] >= 0.0) {
            double t = double(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (first < 0) first = t;
            last = t;
            crossings++;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * double(rate) / (last - first);
}

double semitones(double a_hz, double b_hz) { return 12.0 * std::log2(b_hz / a_hz); }

double rms(const std::vector<double> &x, size_t from, size_t to) {
    to = std::min(to, x.size());
    if (to <= from) return 0.0;
    double s = 0.0;
    for (size_t i = from; i < to; i++) s += x[i] * x[i];
    return std::sqrt(s / double(to - from));
}

double peak(const std::vector<double> &x, size_t from, size_t to) {
    double p = 0.0;
    for (size_t i = from; i < std::min(to, x.size()); i++) p = std::max(p, std::fabs(x[i]));
    return p;
}

size_t first_above(const std::vector<double> &x, size_t from, double threshold) {
    for (size_t i = from; i < x.size(); i++)
        if (std::fabs(x[i]) > threshold) return i;
    return x.size();
}

double max_step(const std::vector<double> &x, size_t from, size_t to) {
    double m = 0.0;
    for (size_t i = std::max<size_t>(from, 1); i < std::min(to, x.size()); i++)
        m = std::max(m, std::fabs(x[i] - x[i - 1]));
    return m;
}

double tone_amplitude(const std::vector<double> &x, size_t from, size_t to, double hz, int rate) {
    to = std::min(to, x.size());
    if (to <= from) return 0.0;
    double c = 0.0, s = 0.0;
    for (size_t i = from; i < to; i++) {
        double w = 2.0 * M_PI * hz * double(i) / rate;
        c += x[i] * std::cos(w);
        s += x[i] * std::sin(w);
    }
    return 2.0 * std::hypot(c, s) / double(to - from);
}

double correlation(const std::vector<double> &a, const std::vector<double> &b, size_t from,
                   size_t to) {
    to = std::min({to, a.size(), b.size()});
    if (to <= from) return 0.0;
    double ma = 0.0, mb = 0.0;
    for (size_t i = from; i < to; i++) ma += a[i], mb += b[i];
    ma /= double(to - from);
    mb /= double(to - from);
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = from; i < to; i++) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace test_support
