// Stream: the tune being played, shared between the control thread (start,
// stop, loop) and the audio thread (fill). One mutex guards the instance;
// the audio thread holds it only while rendering one buffer, and never
// while the play callback runs.
#ifndef PXTONE_STREAM_H
#define PXTONE_STREAM_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "pxtone.h"
#include "output/stream_fade.h"
#include "output/tune_handle.h"

namespace pxtone {

class Stream {
public:
    // Output layout and the play callback (may be null). Call only while no
    // device is filling from this stream.
    void set_output(int channels, PXTONEPLAY_CALLBACK callback);

    // Plays `tune` (already positioned) from the next buffer on, fading in
    // over `fade_length` frames. Returns the instance it replaces, for the
    // caller to destroy outside the lock. Control thread.
    TuneHandle start(TuneHandle tune, int64_t fade_length);
    // Stops handing out sound. Returns the frame position of the first sound
    // not heard: the first not handed out less the `unheard` frames handed
    // out that the device drops (at least 0, at most the song's length);
    // when nothing plays, where the last started tune stopped or ended; 0
    // when none was started. Control thread.
    int64_t stop(int64_t unheard = 0);
    // Stops and gives up the instance (null when there was none).
    TuneHandle take_tune();
    // Passed on to the instance now and to every one started later: loop on
    // plays for ever, off once through.
    void set_loop(bool on);

    // True from start() until stop() or until a fill finds the song ended
    // (the buffer after its last sound). Lock-free; any thread.
    bool streaming() const { return streaming_.load(std::memory_order_acquire); }

    // Audio thread: writes `frames` frames (silence when nothing plays), then,
    // if a tune was playing, calls the play callback with the tick position
    // of the buffer's first frame, with no lock held. True when this is the
    // first buffer after a start, stop or take_tune().
    bool fill(int16_t *out, int frames);

private:
    // Renders one buffer under the lock; returns whether a tune was playing
    // and its tick position at the buffer's start.
    bool render_locked(int16_t *out, int frames, int32_t *ticks, bool *cut);
    int64_t song_frame_at(int64_t frame);

    std::mutex mutex_;
    // Guarded by mutex_:
    TuneHandle tune_;
    StreamFade fade_;
    bool playing_ = false;
    bool loop_ = false;
    bool cut_ = false;  // a start or stop since the last buffer
    int64_t stopped_at_ = -1;  // where the last stop left the tune playing
    int channels_ = 2;
    // Lock-free:
    std::atomic<bool> streaming_{false};
    std::atomic<PXTONEPLAY_CALLBACK> callback_{nullptr};
};

}  // namespace pxtone

#endif
