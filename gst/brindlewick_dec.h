/* brindlewickdec: decodes a whole pxtone tune (audio/x-ptcop or
 * audio/x-pttune) into interleaved S16 samples through the Brindlewick
 * engine, at the rate (8000..192000) and channels (1 or 2) downstream
 * prefers, 44100 Hz stereo when it has no preference.
 *
 * Property "loops": how many times the song plays, each pass after the
 * first going on from its repeat position; 1 (the default) once through,
 * 0 for ever. The inherited "num-loops" is the same setting counted as
 * repeats (0 none, -1 for ever).
 *
 * Tags: title and comment when the tune has them, duration. Seeking is
 * frame-exact in time. A tune the engine refuses posts an error carrying
 * the engine's text. A next stream given to the same element (decodebin3
 * keeps it for a playlist's next tune) follows the one playing without a
 * gap. */
#ifndef BRINDLEWICK_DEC_H
#define BRINDLEWICK_DEC_H

#include <gst/gst.h>

G_BEGIN_DECLS

#define BRINDLEWICK_TYPE_DEC (brindlewick_dec_get_type())
GType brindlewick_dec_get_type(void);

G_END_DECLS

#endif
