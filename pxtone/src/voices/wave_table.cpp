#include "voices/wave_table.h"

#include "pi.h"

#include <cmath>

namespace pxtone {

std::vector<float> overtone_table(const std::vector<std::pair<int, int>> &overtones) {
    // Sizes per harmonic first, so that a list repeating one harmonic costs
    // no more than a list of distinct ones.
    constexpr int N = OVERTONE_TABLE_SIZE;
    std::vector<double> size(N / 2, 0.0);
    for (const auto &o : overtones)
        if (o.first >= 1 && o.first < N / 2) size[size_t(o.first)] += o.second / 128.0 / o.first;
    std::vector<double> sine(N);
    for (int i = 0; i < N; i++) sine[size_t(i)] = std::sin(2.0 * PI * i / N);
    std::vector<double> acc(N, 0.0);
    for (int h = 1; h < N / 2; h++) {
        if (size[size_t(h)] == 0.0) continue;
        for (int i = 0; i < N; i++) acc[size_t(i)] += size[size_t(h)] * sine[size_t(h * i % N)];
    }
    return std::vector<float>(acc.begin(), acc.end());
}

std::vector<float> coordinate_table(const std::vector<std::pair<int, int>> &points, int width) {
    if (width <= 0 || width > MAX_COORDINATE_WIDTH) return std::vector<float>(1, 0.0f);
    std::vector<float> table(size_t(width), 0.0f);
    if (points.empty()) return table;
    const size_t n = points.size();
    size_t seg = 0;  // the point at or before the current position
    for (int i = 0; i < width; i++) {
        double x = i;
        while (seg + 1 < n && points[seg + 1].first <= x) seg++;
        double x0, y0, x1, y1;
        if (x < points[0].first) {  // before the first point: wrapped segment
            x0 = points[n - 1].first - width;
            y0 = points[n - 1].second;
            x1 = points[0].first;
            y1 = points[0].second;
        } else {
            x0 = points[seg].first;
            y0 = points[seg].second;
            if (seg + 1 < n) {
                x1 = points[seg + 1].first;
                y1 = points[seg + 1].second;
            } else {
                x1 = points[0].first + width;
                y1 = points[0].second;
            }
        }
        double y = x1 > x0 ? y0 + (y1 - y0) * (x - x0) / (x1 - x0) : y0;
        table[size_t(i)] = float(y / 128.0);
    }
    return table;
}

}  // namespace pxtone
