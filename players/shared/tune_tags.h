/* What the GStreamer element and every player's plugin say about a tune and
 * how they count its passes, worded once: the codec's name, the loop
 * setting's meaning and text, and the title and comment to show. */
#ifndef BRINDLEWICK_TUNE_TAGS_H
#define BRINDLEWICK_TUNE_TAGS_H

#include "brindlewick.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TUNE_CODEC "pxtone"

/* The loop setting counts how many times the song plays, as bw_set_loops
 * does: 1 (the default) once through, N times, 0 for ever. */
#define TUNE_LOOPS_DEFAULT 1
#define TUNE_LOOPS_TEXT "How many times the song plays"
#define TUNE_LOOPS_LONGTEXT                                                                          \
    "How many times the song plays, each pass after the first from its repeat position "              \
    "(1 = once through, 0 = for ever)"

/* The pass count bw_set_loops takes for a setting of `loops` read from a
 * player's configuration: a negative one (no such setting) plays once. */
int tune_passes_of_setting(long long loops);

typedef struct tune_tags {
    const char *title;   /* the tune's name; NULL when it has none */
    const char *comment; /* NULL when it has none */
    int64_t frames;      /* the whole output with the loop count set; -1 for ever */
} tune_tags;

/* Fills `tags` for the tune loaded in `tune`; the texts stay valid until
 * its next load or bw_free. Returns 1, or 0 with no tune loaded. */
int tune_tags_read(bw_tune *tune, tune_tags *tags);

/* `frames` at `rate` in units of which `per_second` make a second
 * (1000 for milliseconds), rounded to the nearest; -1 for a negative count. */
int64_t tune_frames_in(int64_t frames, int rate, int64_t per_second);

#ifdef __cplusplus
}
#endif

#endif
