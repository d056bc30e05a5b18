/* The two tune formats as players know them: the file code bw_probe tells
 * apart, the file name extension and the MIME type, written once for the
 * GStreamer element and every player's plugin. */
#ifndef BRINDLEWICK_TUNE_FORMATS_H
#define BRINDLEWICK_TUNE_FORMATS_H

#include "brindlewick.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TUNE_PTCOP_MIME_TYPE "audio/x-ptcop"
#define TUNE_PTTUNE_MIME_TYPE "audio/x-pttune"

typedef struct tune_format {
    int format;            /* BW_FORMAT_PTCOP or BW_FORMAT_PTTUNE */
    const char *extension; /* without the dot, lower case */
    const char *mime_type;
} tune_format;

#define TUNE_FORMAT_COUNT 2
extern const tune_format TUNE_FORMATS[TUNE_FORMAT_COUNT];

/* Both extensions, and both MIME types, each list ended by NULL. */
extern const char *const TUNE_EXTENSIONS[TUNE_FORMAT_COUNT + 1];
extern const char *const TUNE_MIME_TYPES[TUNE_FORMAT_COUNT + 1];

/* A player reads at most this many bytes of a file: one more than the
 * library takes, so that a longer file is refused as "tune too big". */
#define TUNE_READ_LIMIT ((64u << 20) + 1u)

/* The format bw_probe gives for the first `size` bytes at `data`; NULL when
 * they are not a tune's. */
const tune_format *tune_format_of_bytes(const void *data, size_t size);

/* The format whose extension the file name or path `name` ends in (any
 * case); NULL when none. */
const tune_format *tune_format_of_name(const char *name);

#ifdef __cplusplus
}
#endif

#endif
