// engine_bench [FOLDER]: for every tune under FOLDER (the corpus by
// default), prints the load time and the render speed in multiples of real
// time at 22050 and 44100 Hz stereo, one core, then the medians.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mix/renderer.h"
#include "tune.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Best of a few loads from memory, in milliseconds.
double load_ms(const std::vector<uint8_t> &bytes) {
    double best = 1e9;
    for (int i = 0; i < 5; i++) {
        auto t = Clock::now();
        pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "bench");
        best = std::min(best, seconds_since(t) * 1000.0);
    }
    return best;
}

// Song seconds rendered per second of work, once through (at least 0.2 s
// of work, repeating the song if it is short).
double speed(std::shared_ptr<const pxtone::Tune> tune, int rate) {
    std::vector<int16_t> buf(2 * 4096);
    double work = 0.0;
    int64_t frames = 0;
    while (work < 0.2) {
        pxtone::Renderer r(tune, rate);
        auto t = Clock::now();
        int n;
        while ((n = r.render(buf.data(), 4096, 2)) > 0) frames += n;
        work += seconds_since(t);
        if (frames == 0) return 0.0;
    }
    return double(frames) / rate / work;
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
    std::vector<double> loads, s22, s44;
    std::printf("%-58s %9s %9s %11s %11s\n", "tune", "song s", "load ms", "x rt 22050", "x rt 44100");
    for (const fs::path &p : tunes) {
        std::ifstream f(p, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        pxtone::LoadResult r = pxtone::load_tune(bytes.data(), bytes.size(), "bench");
        std::string name = fs::relative(p, dir, ec).string();
        if (!r.tune) {
            std::printf("%-58s %s\n", name.c_str(), r.error.c_str());
            continue;
        }
        double song = double(pxtone::Renderer(r.tune, 44100).length()) / 44100.0;
        loads.push_back(load_ms(bytes));
        s22.push_back(speed(r.tune, 22050));
        s44.push_back(speed(r.tune, 44100));
        if (name.size() > 58) name = ".." + name.substr(name.size() - 56);
        std::printf("%-58s %9.2f %9.3f %11.0f %11.0f\n", name.c_str(), song, loads.back(), s22.back(),
                    s44.back());
    }
    std::printf("\nmedian of %zu tunes: load %.3f ms (worst %.3f), %.0f x real time at 22050 Hz, "
                "%.0f x at 44100 Hz stereo\n",
                loads.size(), median(loads), loads.empty() ? 0.0 : *std::max_element(loads.begin(), loads.end()),
                median(s22), median(s44));
    return 0;
}
