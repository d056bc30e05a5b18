// engine_bench [FOLDER]: for every tune under FOLDER (the corpus by
// default), through the library: the load time and the render speed in
// multiples of real time at 22050 and 44100 Hz stereo, once through, and at
// 44100 Hz beside it the engine's renderer driven directly, measured by
// turns in the same run; then the medians. Times are the thread's CPU time,
// each the best of a few runs.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "brindlewick.h"
#include "renderer_reference.h"

namespace {

constexpr int RUNS = 5;

struct TuneFree {
    void operator()(bw_tune *t) const { bw_free(t); }
};
using Tune = std::unique_ptr<bw_tune, TuneFree>;

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Best of a few loads from memory, in milliseconds.
double load_ms(const std::vector<uint8_t> &bytes) {
    double best = 1e9;
    for (int i = 0; i < RUNS; i++) {
        Tune t(bw_new(44100, 2));
        const double start = thread_cpu_seconds();
        bw_load_memory(t.get(), bytes.data(), bytes.size(), "bench");
        best = std::min(best, (thread_cpu_seconds() - start) * 1000.0);
    }
    return best;
}

// Best CPU seconds of one render through the library, from a seek to 0.
double library_seconds(const std::vector<uint8_t> &bytes, int rate, int64_t &frames) {
    Tune t(bw_new(rate, 2));
    if (!bw_load_memory(t.get(), bytes.data(), bytes.size(), "bench")) return -1.0;
    std::vector<int16_t> buf(2 * 4096);
    double best = 1e9;
    for (int i = 0; i < RUNS; i++) {
        bw_seek(t.get(), 0);
        frames = 0;
        const double start = thread_cpu_seconds();
        int n;
        while ((n = bw_render(t.get(), buf.data(), 4096)) > 0) frames += n;
        best = std::min(best, thread_cpu_seconds() - start);
    }
    return best;
}

double times_real(int64_t frames, int rate, double seconds) {
    return seconds > 0 ? double(frames) / rate / seconds : 0.0;
}

}  // namespace

int main(int argc, char **argv) {
    namespace fs = std::filesystem;
    fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::path(SHARED_DIR) / "corpus";
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::printf("engine_bench: no folder %s, nothing to measure\n", dir.string().c_str());
        return 0;
    }
    std::vector<fs::path> tunes;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        std::string ext = it->path().extension().string();
        if (ext == ".ptcop" || ext == ".pttune") tunes.push_back(it->path());
    }
    std::sort(tunes.begin(), tunes.end());
    std::vector<double> loads, s22, s44, direct, ratio;
    double library_total = 0.0, direct_total = 0.0;
    std::printf("%-50s %8s %8s %10s %10s %10s %6s\n", "tune", "song s", "load ms", "x rt 22050",
                "x rt 44100", "renderer", "ratio");
    for (const fs::path &p : tunes) {
        std::ifstream f(p, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        std::string name = fs::relative(p, dir, ec).string();
        if (name.size() > 50) name = ".." + name.substr(name.size() - 48);
        Tune t(bw_new(44100, 2));
        bw_info info;
        if (!bw_load_memory(t.get(), bytes.data(), bytes.size(), "bench") ||
            !bw_get_info(t.get(), &info, sizeof info)) {
            std::printf("%-50s %s\n", name.c_str(), bw_error(t.get()));
            continue;
        }
        int64_t f22 = 0, f44 = 0, fd = 0;
        loads.push_back(load_ms(bytes));
        const double l22 = library_seconds(bytes, 22050, f22);
        // The library and the renderer by turns, so that the machine's load
        // falls on both alike.
        double l44 = 1e9, d44 = 1e9;
        for (int turn = 0; turn < 2; turn++) {
            l44 = std::min(l44, library_seconds(bytes, 44100, f44));
            d44 = std::min(d44, renderer_seconds(bytes, 44100, RUNS, fd));
        }
        s22.push_back(times_real(f22, 22050, l22));
        s44.push_back(times_real(f44, 44100, l44));
        direct.push_back(times_real(fd, 44100, d44));
        ratio.push_back(d44 / l44);
        library_total += l44;
        direct_total += d44;
        std::printf("%-50s %8.2f %8.3f %10.0f %10.0f %10.0f %5.0f%%%s\n", name.c_str(), double(info.frames) / 44100,
                    loads.back(), s22.back(), s44.back(), direct.back(), 100 * ratio.back(),
                    f44 == fd ? "" : "  (frames differ!)");
    }
    std::printf("\nmedian of %zu tunes: load %.3f ms (worst %.3f), %.0f x real time at 22050 Hz, "
                "%.0f x at 44100 Hz stereo\n",
                loads.size(), median(loads), loads.empty() ? 0.0 : *std::max_element(loads.begin(), loads.end()),
                median(s22), median(s44));
    std::printf("at 44100 Hz, the library beside the renderer driven directly: %.0f x against %.0f x (median); "
                "the library's speed as a share of the renderer's: median %.1f %%, all tunes together %.1f %%\n",
                median(s44), median(direct), 100 * median(ratio),
                library_total > 0 ? 100 * direct_total / library_total : 0.0);
    return 0;
}
