/* fuzz_gst: the GStreamer plugin on any bytes. Its type finders claim an
 * input exactly when it starts with that format's file code; brindlewickdec,
 * given the input as a whole file, either posts one error with a short text
 * or plays: a second of sound, then a moment after a seek to the middle (at
 * most 10 s in) of songs up to 30 s long and their echoes. Odd-sized
 * inputs are decoded to mono, even ones to stereo, at 8000 Hz.
 * A broken contract aborts, so libFuzzer keeps the input. */
#include <gst/audio/audio.h>
#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "brindlewick.h"
#include "brindlewick_plugin.h"
#include "tune_typefind.h"

#define ERROR_TEXT_MAX 80
#define MAX_SEEK (10 * GST_SECOND)
#define MAX_SONG_SECONDS 30

static void require(gboolean ok, const char *what)
{
    if (!ok) {
        fprintf(stderr, "fuzz_gst: %s\n", what);
        abort();
    }
}

typedef struct {
    const uint8_t *data;
    size_t size;
    gboolean claimed;
} Input;

static const guint8 *peek(gpointer input, gint64 offset, guint size)
{
    const Input *in = input;
    if (offset < 0 || (guint64)offset + size > in->size)
        return NULL;
    return in->data + offset;
}

static void suggest(gpointer input, guint probability, GstCaps *caps)
{
    (void)probability;
    (void)caps;
    ((Input *)input)->claimed = TRUE;
}

static guint64 length(gpointer input)
{
    return ((const Input *)input)->size;
}

static void check_type_finders(const uint8_t *data, size_t size)
{
    static const struct {
        const char *name;
        TuneCodeKind kind;
    } FINDERS[] = {{PTCOP_CAPS, TUNE_CODE_PTCOP}, {PTTUNE_CAPS, TUNE_CODE_PTTUNE}};
    for (size_t i = 0; i < G_N_ELEMENTS(FINDERS); i++) {
        GstPluginFeature *factory = gst_registry_find_feature(gst_registry_get(), FINDERS[i].name,
                                                              GST_TYPE_TYPE_FIND_FACTORY);
        require(factory != NULL, "a type finder is not registered");
        Input in = {data, size, FALSE};
        GstTypeFind find = {peek, suggest, &in, length, {0}};
        gst_type_find_factory_call_function(GST_TYPE_FIND_FACTORY(factory), &find);
        gst_object_unref(factory);
        require(in.claimed == (tune_code_kind(data, size) == FINDERS[i].kind),
                "a type finder claims what does not start with its file code, or misses it");
    }
}

static gboolean saw_end(GstHarness *h)
{
    GstEvent *event;
    gboolean end = FALSE;
    while (!end && (event = gst_harness_try_pull_event(h))) {
        end = GST_EVENT_TYPE(event) == GST_EVENT_EOS;
        gst_event_unref(event);
    }
    return end;
}

/* Pulls up to `frames` frames; FALSE once the stream has ended. (The
 * element renders on ahead, at most the short song's whole output.) */
static gboolean pull_frames(GstHarness *h, gsize frame_bytes, gint64 frames)
{
    const gint64 deadline = g_get_monotonic_time() + 60 * G_TIME_SPAN_SECOND;
    while (frames > 0) {
        GstBuffer *buffer = gst_harness_try_pull(h);
        if (buffer == NULL) {
            if (saw_end(h))
                return FALSE;
            require(g_get_monotonic_time() < deadline, "no buffer and no end within 60 s");
            g_usleep(20);
            continue;
        }
        require(gst_buffer_get_size(buffer) % frame_bytes == 0, "a buffer of part of a frame");
        frames -= (gint64)(gst_buffer_get_size(buffer) / frame_bytes);
        gst_buffer_unref(buffer);
    }
    return TRUE;
}

/* The base class loads only when upstream tells the file's size, as a file
 * source does; the harness's source pad is given that answer. */
static gint64 input_size;
static GstPadQueryFunction harness_query;

static gboolean src_query(GstPad *pad, GstObject *parent, GstQuery *query)
{
    GstFormat format;
    if (GST_QUERY_TYPE(query) == GST_QUERY_DURATION) {
        gst_query_parse_duration(query, &format, NULL);
        if (format == GST_FORMAT_BYTES) {
            gst_query_set_duration(query, format, input_size);
            return TRUE;
        }
    }
    return harness_query(pad, parent, query);
}

static void check_error_text(GstMessage *msg)
{
    GError *error = NULL;
    gst_message_parse_error(msg, &error, NULL);
    require(error && error->message[0] != '\0', "an error without a text");
    require(strlen(error->message) <= ERROR_TEXT_MAX, "an error text too long");
    g_error_free(error);
}

static void decode(const uint8_t *data, size_t size)
{
    const gboolean mono = size & 1;
    const gint rate = BW_MIN_RATE;
    const gsize frame_bytes = mono ? 2 : 4;
    GstHarness *h = gst_harness_new("brindlewickdec");
    GstBus *bus = gst_bus_new();
    gst_element_set_bus(h->element, bus);
    gst_harness_set_src_caps_str(h, mono ? PTTUNE_CAPS : PTCOP_CAPS);
    gchar *caps = g_strdup_printf("audio/x-raw,format=%s,layout=interleaved,rate=%d,channels=%d",
                                  GST_AUDIO_NE(S16), rate, mono ? 1 : 2);
    gst_harness_set_sink_caps_str(h, caps);
    g_free(caps);
    input_size = (gint64)size;
    harness_query = GST_PAD_QUERYFUNC(h->srcpad);
    gst_pad_set_query_function(h->srcpad, src_query);

    gst_harness_push(h, size ? gst_buffer_new_memdup(data, size) : gst_buffer_new());
    gst_harness_push_event(h, gst_event_new_eos()); /* the element loads the tune here */
    GstMessage *error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    if (error) {
        check_error_text(error);
        gst_message_unref(error);
    } else if (pull_frames(h, frame_bytes, rate)) {
        gint64 duration = -1;
        gst_element_query_duration(h->element, GST_FORMAT_TIME, &duration);
        const gint64 target = duration > 0 ? MIN(duration / 2, MAX_SEEK) : MAX_SEEK;
        require(gst_harness_push_upstream_event(
                    h, gst_event_new_seek(1.0, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE,
                                          GST_SEEK_TYPE_SET, target, GST_SEEK_TYPE_NONE, -1)),
                "a seek inside the song refused");
        pull_frames(h, frame_bytes, 1);
    }
    gst_element_set_bus(h->element, NULL);
    gst_object_unref(bus);
    gst_harness_teardown(h);
}

/* The element asks for the output's length as it loads, and the engine
 * finds it by rendering once the echoes that ring on after the song (up to
 * an hour of them). Songs over 30 s, or with echoes ringing on for longer,
 * are left to fuzz_tune, so an input's time stays bounded by its bytes. */
static gboolean short_output(const uint8_t *data, size_t size)
{
    enum { CHUNK = 1024 };
    static int16_t out[CHUNK];
    const gint64 most = MAX_SONG_SECONDS * BW_MIN_RATE;
    bw_tune *tune = bw_new(BW_MIN_RATE, 1);
    bw_info info;
    gboolean ok = !bw_load_memory(tune, data, size, NULL);
    if (!ok && bw_get_info(tune, &info, sizeof info) && info.frames <= most) {
        bw_seek(tune, info.frames);
        for (gint64 n = 0; n < most && !bw_ended(tune); n += CHUNK)
            bw_render(tune, out, CHUNK);
        ok = bw_ended(tune);
    }
    bw_free(tune);
    return ok;
}

int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    (void)argc;
    (void)argv;
    /* Nothing but the plugin linked in here: no plugin folders to scan. */
    g_setenv("GST_PLUGIN_SYSTEM_PATH_1_0", "", TRUE);
    g_setenv("GST_PLUGIN_PATH_1_0", "", TRUE);
    g_setenv("GST_REGISTRY_DISABLE", "yes", TRUE);
    gst_init(NULL, NULL);
    require(gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "brindlewick",
                                       "the plugin, linked in", brindlewick_plugin_init, "0",
                                       GST_LICENSE_UNKNOWN, "brindlewick", "brindlewick", "fuzz_gst"),
            "the plugin does not register");
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check_type_finders(data, size);
    if (short_output(data, size))
        decode(data, size);
    return 0;
}
