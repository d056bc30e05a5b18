// Tiny tunes for the engine's interface and streaming tests, written with
// the tune builder into a temporary folder.
#ifndef STREAM_TEST_TUNES_H
#define STREAM_TEST_TUNES_H

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mix/renderer.h"
#include "tune.h"
#include "tune_builder.h"

// A folder under /tmp, removed with its files when the object goes.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/pxtone_stream_XXXXXX";
        const char *made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
    }
    ~TempFolder() {
        for (const std::string &f : files_) unlink(f.c_str());
        rmdir(path_.c_str());
    }
    std::string file(const std::string &name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }
    const std::string &path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// A sine voice holding one note from the start to `measures` measures, at
// 240 beats per minute in 4/4 (one measure is one second). The song's
// repeat position is `repeat_measure`.
inline tune_builder::Song held_note_song(int measures, int repeat_measure = 0) {
    tune_builder::Song s;
    s.beat_clock = 480;
    s.beat_num = 4;
    s.tempo = 240.0f;
    s.repeat_clock = repeat_measure * 4 * 480;
    s.last_clock = measures * 4 * 480;
    s.voices.push_back(tune_builder::sine_voice("sine"));
    s.units.push_back("u");
    tune_builder::add_event(s, 0, 0, tune_builder::EV_VOICE_NO, 0);
    tune_builder::add_note(s, 0, 0, measures * 4 * 480, tune_builder::KEY_A4);
    return s;
}

inline std::string write_tune(TempFolder &dir, const std::string &name,
                              const tune_builder::Song &song) {
    std::string path = dir.file(name);
    EXPECT_TRUE(tune_builder::write_file(song, path));
    return path;
}

// What the engine's renderer makes of a tune offline, for comparing with
// what the stream hands out: `frames` stereo frames from `start`, asked for
// in buffers of `chunk` frames as the stream does.
inline std::vector<int16_t> reference_render(const std::string &path, int rate, int64_t start,
                                             int frames, bool loop = false, int chunk = 2048) {
    pxtone::LoadResult loaded = pxtone::load_tune_file(path, "ref");
    EXPECT_TRUE(loaded.tune) << loaded.error;
    std::vector<int16_t> out(size_t(frames) * 2, 0);
    if (!loaded.tune) return out;
    pxtone::Renderer renderer(loaded.tune, rate);
    renderer.set_loop(loop);
    renderer.seek(start);
    int done = 0;
    while (done < frames) {
        int made = renderer.render(out.data() + size_t(done) * 2, std::min(chunk, frames - done), 2);
        if (made <= 0) break;
        done += made;
    }
    return out;
}

#endif
