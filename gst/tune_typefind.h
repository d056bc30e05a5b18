/* The type finders of the two tune formats: a file is a project (".ptcop",
 * audio/x-ptcop) when it starts with "PTCOLLAGE-" and a six-digit date, a
 * tune (".pttune", audio/x-pttune) when it starts with "PTTUNE--" and an
 * eight-digit date, whatever its name. */
#ifndef BRINDLEWICK_TUNE_TYPEFIND_H
#define BRINDLEWICK_TUNE_TYPEFIND_H

#include <gst/gst.h>

G_BEGIN_DECLS

#define TUNE_CODE_BYTES 16
#define PTCOP_CAPS "audio/x-ptcop"
#define PTTUNE_CAPS "audio/x-pttune"

typedef enum { TUNE_CODE_NONE, TUNE_CODE_PTCOP, TUNE_CODE_PTTUNE } TuneCodeKind;

/* Which file code the first `size` bytes at `data` start with. */
TuneCodeKind tune_code_kind(const guint8 *data, gsize size);

/* Registers both type finders with `plugin`. */
gboolean tune_typefind_register(GstPlugin *plugin);

G_END_DECLS

#endif
