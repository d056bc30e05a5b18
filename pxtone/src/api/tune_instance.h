// What a bw_tune handle holds: the instance's format and settings, its
// error text, and the loaded tune with its texts and its player.
#ifndef PXTONE_TUNE_INSTANCE_H
#define PXTONE_TUNE_INSTANCE_H

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "api/exported.h"
#include "api/pass_player.h"
#include "tune.h"

struct bw_tune {
    int rate = 44100;
    int channels = 2;
    int loops = 1;
    double fade_seconds = 0.0;
    std::string error;
    // The loaded tune, with the texts bw_get_info and bw_effect_text hand out.
    std::shared_ptr<const pxtone::Tune> tune;
    std::string title, comment;
    std::vector<std::string> effects;
    std::unique_ptr<pxtone::PassPlayer> player;

    // Sets the error text and returns 0, for `return t->fail(...)`.
    int fail(const std::string &text) {
        error = text;
        return 0;
    }
    bool loaded() const { return player != nullptr; }
    void unload() {
        player.reset();
        tune.reset();
        title.clear();
        comment.clear();
        effects.clear();
    }
};

namespace pxtone {

// Runs `call` for a C entry point: an exception (out of memory) becomes the
// error text `text` and the result `failed`, never an abort.
template <typename T, typename Call>
T guarded(bw_tune *t, T failed, const std::string &text, Call call) {
    try {
        return call();
    } catch (...) {
        try {
            if (t) t->error = text;
        } catch (...) {
        }
        return failed;
    }
}

}  // namespace pxtone

#endif
