/* The type finders of the two tune formats: a file is a project (".ptcop",
 * audio/x-ptcop) when it starts with "PTCOLLAGE-" and a six-digit date, a
 * tune (".pttune", audio/x-pttune) when it starts with "PTTUNE--" and an
 * eight-digit date, whatever its name: the library's bw_probe tells. */
#ifndef BRINDLEWICK_TUNE_TYPEFIND_H
#define BRINDLEWICK_TUNE_TYPEFIND_H

#include <gst/gst.h>

#include "brindlewick.h"
#include "tune_formats.h"

G_BEGIN_DECLS

#define TUNE_CODE_BYTES BW_PROBE_BYTES
#define PTCOP_CAPS TUNE_PTCOP_MIME_TYPE
#define PTTUNE_CAPS TUNE_PTTUNE_MIME_TYPE

typedef enum {
    TUNE_CODE_NONE = BW_FORMAT_NONE,
    TUNE_CODE_PTCOP = BW_FORMAT_PTCOP,
    TUNE_CODE_PTTUNE = BW_FORMAT_PTTUNE
} TuneCodeKind;

/* Which file code the first `size` bytes at `data` start with. */
TuneCodeKind tune_code_kind(const guint8 *data, gsize size);

/* Registers both type finders with `plugin`. */
gboolean tune_typefind_register(GstPlugin *plugin);

G_END_DECLS

#endif
