#include "tune_typefind.h"

#include <string.h>

typedef struct {
    TuneCodeKind kind;
    const char *prefix; /* followed by digits up to TUNE_CODE_BYTES */
    const char *caps;
    const char *extension;
} TuneCode;

static const TuneCode CODES[] = {
    {TUNE_CODE_PTCOP, "PTCOLLAGE-", PTCOP_CAPS, "ptcop"},
    {TUNE_CODE_PTTUNE, "PTTUNE--", PTTUNE_CAPS, "pttune"},
};

static gboolean starts_with_code(const guint8 *data, const TuneCode *code)
{
    const gsize n = strlen(code->prefix);
    if (memcmp(data, code->prefix, n) != 0)
        return FALSE;
    for (gsize i = n; i < TUNE_CODE_BYTES; i++)
        if (data[i] < '0' || data[i] > '9')
            return FALSE;
    return TRUE;
}

TuneCodeKind tune_code_kind(const guint8 *data, gsize size)
{
    if (data == NULL || size < TUNE_CODE_BYTES)
        return TUNE_CODE_NONE;
    for (gsize i = 0; i < G_N_ELEMENTS(CODES); i++)
        if (starts_with_code(data, &CODES[i]))
            return CODES[i].kind;
    return TUNE_CODE_NONE;
}

static void find_tune(GstTypeFind *find, gpointer user_data)
{
    const TuneCode *code = user_data;
    const guint8 *data = gst_type_find_peek(find, 0, TUNE_CODE_BYTES);
    if (tune_code_kind(data, data ? TUNE_CODE_BYTES : 0) == code->kind)
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_MAXIMUM, code->caps);
}

gboolean tune_typefind_register(GstPlugin *plugin)
{
    for (gsize i = 0; i < G_N_ELEMENTS(CODES); i++) {
        GstCaps *caps = gst_caps_new_empty_simple(CODES[i].caps);
        gboolean ok = gst_type_find_register(plugin, CODES[i].caps, GST_RANK_PRIMARY, find_tune,
                                             CODES[i].extension, caps, (gpointer)&CODES[i], NULL);
        gst_caps_unref(caps);
        if (!ok)
            return FALSE;
    }
    return TRUE;
}
