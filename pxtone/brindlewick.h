/* brindlewick.h - the Brindlewick tune engine as a library: reads pxtone
 * tunes (".ptcop", ".pttune"), tells what they hold and renders them to
 * 16-bit samples. Link with `pkg-config --cflags --libs brindlewick`.
 *
 * Instances. A bw_tune is one tune and one play position. Instances share
 * nothing: any number may be used at once, each on any thread, but one
 * instance by one thread at a time (the library takes no locks).
 *
 * Results. Calls that can fail return 1 on success and 0 on failure, and
 * leave a short English text in the instance, read with bw_error (at most
 * 80 bytes, UTF-8). Every call accepts a NULL instance and then does
 * nothing and returns 0 (or NULL, -1). No call writes to stderr or aborts; no input bytes,
 * however damaged or hostile, make a call read or write outside its
 * buffers, loop without bound or take unbounded memory (the caps: 64 MB a
 * file, 4 hours a song, 512 MB of decoded samples a tune).
 *
 * Units. Rates are frames per second, 8000..192000. Frames count from the
 * start of the output (the song's start, then each pass after it, then the
 * echoes ringing out). Samples are interleaved signed 16-bit, in native
 * byte order; 1 channel (the mix of left and right) or 2 (left, right).
 * Texts are NUL-terminated UTF-8.
 *
 * The version of this interface is BW_VERSION (major * 10000 + minor *
 * 100 + patch); bw_version() gives the library's. A library of the same
 * major version accepts every program built against an older minor one.
 */
#ifndef BRINDLEWICK_H
#define BRINDLEWICK_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define BW_VERSION_MAJOR 1
#define BW_VERSION_MINOR 1
#define BW_VERSION_PATCH 0
#define BW_VERSION (BW_VERSION_MAJOR * 10000 + BW_VERSION_MINOR * 100 + BW_VERSION_PATCH)

#define BW_MIN_RATE 8000
#define BW_MAX_RATE 192000

/* bw_probe's results: the two tune formats. */
#define BW_FORMAT_NONE 0
#define BW_FORMAT_PTCOP 1  /* a project, ".ptcop" */
#define BW_FORMAT_PTTUNE 2 /* a tune, ".pttune" */
#define BW_PROBE_BYTES 16

/* bw_set_loops: play on from the repeat position for ever. */
#define BW_LOOP_FOREVER 0

typedef struct bw_tune bw_tune;

/* The library's BW_VERSION. */
int bw_version(void);

/* Which format the file whose first `size` bytes are at `data` is in, by
 * its file code alone, as a player tells files apart without a load:
 * BW_FORMAT_PTCOP for "PTCOLLAGE-" and six digits, BW_FORMAT_PTTUNE for
 * "PTTUNE--" and eight digits (also for versions a load refuses with
 * "unsupported tune version"), else BW_FORMAT_NONE. Reads the first
 * BW_PROBE_BYTES bytes only; fewer (or NULL data) are BW_FORMAT_NONE. Needs
 * no instance, any thread. Since 1.1. */
int bw_probe(const void *data, size_t size);

/* A new instance with no tune loaded, rendering at `rate` frames per second
 * with `channels` 1 or 2. NULL only when out of memory or when rate or
 * channels are out of range (nothing to read an error from then). */
bw_tune *bw_new(int rate, int channels);

/* Frees the instance and its tune. NULL is allowed. */
void bw_free(bw_tune *t);

/* The text of the last call on `t` that failed, or the warning of the last
 * load that succeeded with one ("bad voice: NAME": a voice that could not be
 * read plays silent); "" when there is none. The pointer stays valid until
 * the next call on `t`. Texts: "cannot open: NAME", "not a tune: NAME",
 * "unsupported tune version: NAME", "damaged tune: NAME", "tune too big:
 * NAME", "no tune loaded", "bad argument: WHAT". NAME is the name given at
 * load (cut to keep the text short). */
const char *bw_error(const bw_tune *t);

/* Loads a tune from `size` bytes at `data`, replacing the instance's tune
 * (on failure no tune stays loaded). The bytes are read during the call
 * only; the caller keeps them. `name` (may be NULL: "(no name)") is used in
 * error texts. The play position goes to frame 0 and the loop count to 1.
 * Returns 1, or 0 with the reason in bw_error. */
int bw_load_memory(bw_tune *t, const void *data, size_t size, const char *name);

/* As bw_load_memory, reading the file at `path` (on Windows in UTF-8, else
 * in the system's code page); NAME in texts is the last part of the path. */
int bw_load_file(bw_tune *t, const char *path);

/* What a tune holds, without rendering. Frame counts are at the instance's
 * rate. Fields are only ever added at the end: pass sizeof(bw_info). */
typedef struct bw_info {
    const char *title;   /* the tune's name, "" when it has none */
    const char *comment; /* its comment, "" when it has none */
    double tempo;        /* beats a minute */
    int32_t beats_per_measure;
    int32_t ticks_per_beat;
    int32_t measures;        /* in one pass (its end measure where set) */
    int32_t repeat_measure;  /* where a loop goes back to */
    int64_t frames;          /* one pass, without the echoes after the end */
    int64_t repeat_frame;    /* the repeat position */
    int64_t repeat_frames;   /* from the repeat position to the end */
    int32_t units;
    int32_t ptvoice_voices, ptnoise_voices, pcm_voices, ogg_voices;
    int32_t silent_voices;   /* of those, ones that could not be read */
    int32_t delays, overdrives;
} bw_info;

/* Fills `info` (the first `info_size` bytes of it) for the loaded tune. The
 * texts stay valid until the next load or bw_free. Returns 1, or 0 ("no tune
 * loaded", "bad argument: info"). */
int bw_get_info(bw_tune *t, bw_info *info, size_t info_size);

/* The effect at `index` (0-based, in file order) as one line of text, for
 * a listing ("delay: group 1, every 0.25 beat, 33 %" and the like); NULL
 * past the last. Valid until the next load or bw_free. */
const char *bw_effect_text(bw_tune *t, int index);

/* How many passes the song plays: 1 (once through, the default), N, or
 * BW_LOOP_FOREVER. Each pass after the first goes on from the repeat
 * position without a gap. After the last pass the notes stop and the delays'
 * echoes ring out, unless a fade is set. May be changed at any time, also
 * while rendering: a count at or below the pass now playing makes it the
 * last. Returns 1, or 0 ("bad argument: loops") for a negative count. */
int bw_set_loops(bw_tune *t, int loops);

/* Fades the output out over the last `seconds` of the last pass, the last
 * frame being silent, and ends the output there (no echoes after it).
 * 0 = no fade (the default). Has no effect with BW_LOOP_FOREVER. Returns 1,
 * or 0 ("bad argument: fade") for a negative or non-finite value. */
int bw_set_fade(bw_tune *t, double seconds);

/* Frames the whole output takes with the current loops and fade, echoes
 * included; -1 with BW_LOOP_FOREVER or no tune. Costs no rendering, except
 * that the echoes' length is found by rendering them once (cached). */
int64_t bw_output_frames(bw_tune *t);

/* Writes up to `frames` frames at the instance's rate and channels into
 * `out` and returns how many it wrote: fewer than asked only at the end of
 * the output, 0 from then on (and with no tune). Negative `frames` or a NULL
 * `out` write nothing and return 0. Bounded work per frame, no allocation
 * after the first call since the load or seek. */
int bw_render(bw_tune *t, int16_t *out, int frames);

/* Moves to output frame `frame` (clamped to 0 and the output's end): what
 * bw_render gives from there is, sample for sample, what rendering from the
 * start would give there. Costs about a replay of the events before it,
 * without mixing. Returns 1, or 0 ("no tune loaded"). */
int bw_seek(bw_tune *t, int64_t frame);

/* Where the next rendered frame falls. */
typedef struct bw_position {
    int64_t frame;      /* in the output, as bw_seek takes it */
    int64_t song_frame; /* in the song: after a loop jump, counted again from
                           its start; at most the song's end (also while the
                           echoes ring out after it) */
    int32_t tick;       /* song_frame in ticks */
    int32_t pass;       /* 1 for the first pass */
} bw_position;

/* Fills `pos`; zeros without a tune. Returns 1, or 0 ("no tune loaded"). */
int bw_get_position(bw_tune *t, bw_position *pos);

/* 1 when, with a tune, the output has ended (the last pass played and the
 * echoes rung out, or the fade done); else 0. */
int bw_ended(bw_tune *t);

#ifdef __cplusplus
}
#endif

#endif
