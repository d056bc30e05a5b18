#include "tune_typefind.h"

#include "tune_formats.h"

TuneCodeKind tune_code_kind(const guint8 *data, gsize size)
{
    return (TuneCodeKind)bw_probe(data, size);
}

static void find_tune(GstTypeFind *find, gpointer user_data)
{
    const tune_format *format = user_data;
    const guint8 *data = gst_type_find_peek(find, 0, TUNE_CODE_BYTES);
    if (data && bw_probe(data, TUNE_CODE_BYTES) == format->format)
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_MAXIMUM, format->mime_type);
}

gboolean tune_typefind_register(GstPlugin *plugin)
{
    for (gsize i = 0; i < TUNE_FORMAT_COUNT; i++) {
        const tune_format *format = &TUNE_FORMATS[i];
        GstCaps *caps = gst_caps_new_empty_simple(format->mime_type);
        gboolean ok = gst_type_find_register(plugin, format->mime_type, GST_RANK_PRIMARY, find_tune,
                                             format->extension, caps, (gpointer)format, NULL);
        gst_caps_unref(caps);
        if (!ok)
            return FALSE;
    }
    return TRUE;
}
