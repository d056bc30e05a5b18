// render_bench [PTRENDER [FOLDER]]: how fast ptrender renders, as a whole
// process, beside the engine alone on the same tunes. For every tune under
// FOLDER (the corpus by default), at 44100 Hz stereo, once through:
//   engine  - the library in this process, CPU time of rendering only;
//   process - `ptrender TUNE OUT.wav`, CPU time (user + system) of the
//             whole child process: start-up, loading, rendering, writing;
//   floor   - `floor_writer OUT.wav BYTES`, a static process that only
//             writes as many bytes as ptrender did: what starting a process
//             and writing the file cost here before any rendering;
// each the best of several runs, in multiples of real time (seconds of
// sound, echoes included, per CPU second), and the process's share of the
// engine's speed beside the most any process could reach, the engine's
// share of engine + floor. Then medians and minimums. Last, all the tunes
// in one process, `ptrender -o DIR TUNE...` (start-up paid once), beside the
// engine's time for them all.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "brindlewick.h"

extern char **environ;

namespace {

constexpr int RATE = 44100;
constexpr int RUNS = 7;

double cpu_now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

double minimum(const std::vector<double> &v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }

// Best CPU seconds of one render through, and the frames it gives; < 0
// when the tune does not load.
double engine_seconds(const std::string &path, int64_t &frames) {
    std::unique_ptr<bw_tune, void (*)(bw_tune *)> t(bw_new(RATE, 2), bw_free);
    if (!bw_load_file(t.get(), path.c_str())) return -1;
    std::vector<int16_t> buf(2 * 4096);
    double best = 1e9;
    for (int i = 0; i < RUNS; i++) {
        bw_seek(t.get(), 0);
        frames = 0;
        const double t0 = cpu_now();
        int n;
        while ((n = bw_render(t.get(), buf.data(), 4096)) > 0) frames += n;
        best = std::min(best, cpu_now() - t0);
    }
    return best;
}

// Best CPU seconds of a whole process run with `args`; < 0 when it fails.
double process_seconds(const std::vector<std::string> &args) {
    std::vector<char *> argv;
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    double best = 1e9;
    for (int i = 0; i < RUNS; i++) {
        pid_t pid;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
        int status;
        rusage ru;
        if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
        const double t = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                         1e-6 * double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
        best = std::min(best, t);
    }
    return best;
}

}  // namespace

int main(int argc, char **argv) {
    namespace fs = std::filesystem;
    const std::string ptrender = argc > 1 ? argv[1] : PTRENDER, floor_writer = FLOOR_WRITER;
    const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::path(SHARED_DIR) / "corpus";
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::printf("render_bench: no folder %s, nothing to measure\n", dir.string().c_str());
        return 0;
    }
    std::vector<fs::path> tunes;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        const std::string ext = it->path().extension().string();
        if (ext == ".ptcop" || ext == ".pttune") tunes.push_back(it->path());
    }
    std::sort(tunes.begin(), tunes.end());
    const std::string out = (fs::temp_directory_path() / ("render_bench_" + std::to_string(getpid()) + ".wav")).string();

    std::vector<double> engine, process, share, ceiling, above;
    std::vector<std::string> rendered;
    double engine_total = 0.0, sound_total = 0.0;
    std::printf("%-50s %8s %8s %8s %8s %6s %8s\n", "tune (44100 Hz, x real time in CPU time)", "sound s", "engine",
                "process", "floor", "share", "ceiling");
    for (const fs::path &p : tunes) {
        std::string name = fs::relative(p, dir, ec).string();
        if (name.size() > 50) name = ".." + name.substr(name.size() - 48);
        int64_t frames = 0;
        const double e = engine_seconds(p.string(), frames);
        if (e < 0) continue;
        const double w = process_seconds({ptrender, p.string(), out});
        const auto bytes = fs::file_size(out, ec);
        const double f = ec ? -1 : process_seconds({floor_writer, out, std::to_string(bytes)});
        const double sound = double(frames) / RATE;
        if (w <= 0 || e <= 0 || f <= 0 || frames == 0) {
            std::printf("%-50s failed\n", name.c_str());
            continue;
        }
        engine_total += e;
        sound_total += sound;
        rendered.push_back(p.string());
        engine.push_back(sound / e);
        process.push_back(sound / w);
        share.push_back(e / w);
        ceiling.push_back(e / (e + f));
        above.push_back(1000 * (w - e - f));
        std::printf("%-50s %8.2f %8.0f %8.0f %8.0f %5.0f%% %7.0f%%\n", name.c_str(), sound, engine.back(),
                    process.back(), sound / f, 100 * share.back(), 100 * ceiling.back());
    }
    fs::remove(out, ec);
    std::printf("\n%zu tunes, x real time: engine median %.0f, minimum %.0f; whole process median %.0f, "
                "minimum %.0f\nprocess as a share of the engine, tune by tune: median %.0f %%, minimum %.0f %%\n"
                "ceiling (engine / (engine + floor)), tune by tune: median %.0f %%, minimum %.0f %%\n"
                "process beyond engine + floor: median %.2f ms\n",
                engine.size(), median(engine), minimum(engine), median(process), minimum(process),
                100 * median(share), 100 * minimum(share), 100 * median(ceiling), 100 * minimum(ceiling),
                median(above));

    // Every tune in one process.
    const std::string folder = out + ".d";
    std::vector<std::string> many = {ptrender, "-o", folder};
    many.insert(many.end(), rendered.begin(), rendered.end());
    const double all = process_seconds(many);
    fs::remove_all(folder, ec);
    if (all > 0)
        std::printf("\nptrender -o over all %zu tunes in one process: %.3f s CPU for %.1f s of sound (%.0f x real "
                    "time); the engine alone %.3f s (%.0f x): the process at %.0f %% of the engine's speed\n",
                    rendered.size(), all, sound_total, sound_total / all, engine_total, sound_total / engine_total,
                    100 * engine_total / all);
    return 0;
}
