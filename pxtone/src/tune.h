// A loaded tune: parsed from a file's bytes and prepared for playing
// (wave tables built, noise voices synthesised, samples decoded). Immutable
// once made, so one tune can be shared by a renderer on the audio thread and
// the control thread without locks.
#ifndef PXTONE_TUNE_H
#define PXTONE_TUNE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pxtone {

class Tune;

struct TuneInfo {
    int32_t beat_num = 0;
    float beat_tempo = 0.0f;
    int32_t beat_clock = 0;
    int32_t meas_num = 0;
};

// Result of a load. On failure `tune` is null and `error` says why, in a
// short text naming the tune ("not a tune: NAME", "unsupported tune version:
// NAME", "damaged tune: NAME").
// A tune that loads with a voice it cannot play has `tune` set and a
// `warning` ("bad voice: NAME").
struct LoadResult {
    std::shared_ptr<const Tune> tune;
    std::string error;
    std::string warning;
};

// Reads and prepares a tune from memory. `shown_name` is used in texts.
// Never reads outside [data, data + size); bounded time and memory.
LoadResult load_tune(const uint8_t *data, size_t size, const std::string &shown_name);

// Reads a file (with a size cap) and loads it; "cannot open: NAME" when the
// file cannot be read.
LoadResult load_tune_file(const std::string &path, const std::string &shown_name);

TuneInfo tune_info(const Tune &tune);

// What a listing of a tune shows: its texts, timing, lengths and make-up.
struct TuneSummary {
    std::string title;    // the name text block, "" when there is none
    std::string comment;  // the comment text block, "" when there is none
    TuneInfo timing;
    double seconds = 0.0;         // once through, without the echoes after the end
    double repeat_start = 0.0;    // where a loop goes back to, in seconds
    double repeat_seconds = 0.0;  // from there to the end
    int32_t units = 0;
    int32_t ptvoice = 0, ptnoise = 0, pcm = 0, ogg = 0;  // voices of each kind
    int32_t silent_voices = 0;                           // voices that could not be read
    std::vector<std::string> effects;                    // one line each, in file order
};

TuneSummary tune_summary(const Tune &tune);

}  // namespace pxtone

#endif
