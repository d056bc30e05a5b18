#include "brindlewick_dec.h"

#include <gst/audio/gstnonstreamaudiodecoder.h>

#include "brindlewick.h"
#include "tune_typefind.h"

#define DEFAULT_RATE 44100
#define DEFAULT_CHANNELS 2
#define CHUNK_FRAMES 4096

GST_DEBUG_CATEGORY_STATIC(brindlewick_dec_debug);
#define GST_CAT_DEFAULT brindlewick_dec_debug

typedef struct {
    GstNonstreamAudioDecoder parent;
    bw_tune *tune; /* NULL until a tune is loaded */
    gint rate, channels;
    gint num_loops; /* as the base class counts them: repeats, -1 for ever */
    gint playing;   /* atomic: a tune is loaded, so the output loop may be running */
    GstPadEventFunction base_src_event;
} BrindlewickDec;

typedef struct {
    GstNonstreamAudioDecoderClass parent_class;
} BrindlewickDecClass;

G_DEFINE_TYPE(BrindlewickDec, brindlewick_dec, GST_TYPE_NONSTREAM_AUDIO_DECODER)

enum { PROP_0, PROP_LOOPS };

static GstStaticPadTemplate sink_template = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(PTCOP_CAPS "; " PTTUNE_CAPS));

static GstStaticPadTemplate src_template = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format = (string) " GST_AUDIO_NE(S16) ", "
                    "layout = (string) interleaved, "
                    "rate = (int) [ " G_STRINGIFY(BW_MIN_RATE) ", " G_STRINGIFY(BW_MAX_RATE) " ], "
                    "channels = (int) [ 1, 2 ]"));

#define DEC(obj) ((BrindlewickDec *)(obj))

/* The engine counts passes (1 = once, 0 = for ever), the base class repeats. */
static gint passes_of(gint num_loops)
{
    if (num_loops < 0)
        return BW_LOOP_FOREVER;
    return num_loops == G_MAXINT ? G_MAXINT : num_loops + 1;
}

static gint repeats_of(gint passes)
{
    return passes == BW_LOOP_FOREVER ? -1 : passes - 1;
}

static GstClockTime time_of(BrindlewickDec *self, gint64 frame)
{
    return gst_util_uint64_scale_int_round((guint64)MAX(frame, 0), GST_SECOND, self->rate);
}

/* The file's name as upstream knows it (a file source's location), for
 * the engine's error texts; NULL when upstream does not say. */
static gchar *upstream_name(GstNonstreamAudioDecoder *dec)
{
    GstQuery *query = gst_query_new_uri();
    gchar *name = NULL;
    if (gst_pad_peer_query(dec->sinkpad, query)) {
        gchar *uri = NULL;
        gst_query_parse_uri(query, &uri);
        gchar *path = uri ? g_filename_from_uri(uri, NULL, NULL) : NULL;
        if (path)
            name = g_path_get_basename(path);
        g_free(path);
        g_free(uri);
    }
    gst_query_unref(query);
    return name;
}

/* Called with the decoder's lock held: the error message goes out without
 * it, as the base class asks. */
static void post_decode_error(GstNonstreamAudioDecoder *dec, const gchar *text)
{
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(dec);
    GST_ELEMENT_ERROR(dec, STREAM, DECODE, ("%s", text), (NULL));
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(dec);
}

/* The rate and channels downstream takes, nearest to 44100 Hz stereo where
 * it takes a range (as an element not linked yet takes anything). */
static void downstream_format(GstNonstreamAudioDecoder *dec, gint *rate, gint *channels)
{
    *rate = DEFAULT_RATE;
    *channels = DEFAULT_CHANNELS;
    GstCaps *allowed = gst_pad_get_allowed_caps(dec->srcpad);
    if (allowed == NULL)
        return;
    if (!gst_caps_is_empty(allowed)) {
        GstStructure *s = gst_structure_copy(gst_caps_get_structure(allowed, 0));
        gst_structure_fixate_field_nearest_int(s, "rate", DEFAULT_RATE);
        gst_structure_fixate_field_nearest_int(s, "channels", DEFAULT_CHANNELS);
        gst_structure_get_int(s, "rate", rate);
        gst_structure_get_int(s, "channels", channels);
        gst_structure_free(s);
    }
    gst_caps_unref(allowed);
    *rate = CLAMP(*rate, BW_MIN_RATE, BW_MAX_RATE);
    *channels = CLAMP(*channels, 1, 2);
}

static gboolean load_tune(BrindlewickDec *self, GstBuffer *data)
{
    GstMapInfo map;
    if (!gst_buffer_map(data, &map, GST_MAP_READ)) {
        post_decode_error(&self->parent, "cannot read the tune's bytes");
        return FALSE;
    }
    gchar *name = upstream_name(&self->parent);
    const gboolean ok = bw_load_memory(self->tune, map.data, map.size, name);
    g_free(name);
    gst_buffer_unmap(data, &map);
    if (!ok)
        post_decode_error(&self->parent, bw_error(self->tune));
    return ok;
}

static gboolean brindlewick_dec_load_from_buffer(GstNonstreamAudioDecoder *dec, GstBuffer *data,
                                                 guint initial_subsong,
                                                 GstNonstreamAudioSubsongMode initial_subsong_mode,
                                                 GstClockTime *initial_position,
                                                 GstNonstreamAudioOutputMode *initial_output_mode,
                                                 gint *initial_num_loops)
{
    (void)initial_subsong;
    (void)initial_subsong_mode;
    BrindlewickDec *self = DEC(dec);
    downstream_format(dec, &self->rate, &self->channels);
    bw_free(self->tune);
    self->tune = bw_new(self->rate, self->channels);
    self->num_loops = *initial_num_loops;
    if (self->tune == NULL) {
        post_decode_error(dec, "out of memory");
    } else if (load_tune(self, data)) {
        bw_set_loops(self->tune, passes_of(self->num_loops));
        if (GST_CLOCK_TIME_IS_VALID(*initial_position) && *initial_position > 0)
            bw_seek(self->tune, (gint64)gst_util_uint64_scale_int_round(*initial_position, self->rate,
                                                                        GST_SECOND));
        GST_INFO_OBJECT(self, "loaded at %d Hz, %d channels", self->rate, self->channels);
        g_atomic_int_set(&self->playing, 1);
    }
    /* A tune the engine refused has had its error posted; the stream then
     * ends at once (no tune renders no frames). Returning FALSE would post
     * a second, vaguer error, and the base class (1.22) keeps the input of
     * a failed load: the file's bytes would stay behind until exit. */
    *initial_output_mode = GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
    return gst_nonstream_audio_decoder_set_output_format_simple(dec, self->rate, GST_AUDIO_FORMAT_S16,
                                                                self->channels);
}

static void add_text_tag(GstTagList *tags, const gchar *tag, const gchar *text)
{
    if (text && *text && g_utf8_validate(text, -1, NULL))
        gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, tag, text, NULL);
}

static GstTagList *brindlewick_dec_get_main_tags(GstNonstreamAudioDecoder *dec)
{
    BrindlewickDec *self = DEC(dec);
    bw_info info;
    if (!bw_get_info(self->tune, &info, sizeof info))
        return NULL;
    GstTagList *tags = gst_tag_list_new_empty();
    add_text_tag(tags, GST_TAG_TITLE, info.title);
    add_text_tag(tags, GST_TAG_COMMENT, info.comment);
    const gint64 frames = bw_output_frames(self->tune);
    if (frames >= 0)
        gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_DURATION, time_of(self, frames), NULL);
    gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_AUDIO_CODEC, "pxtone", NULL);
    return tags;
}

static GstClockTime brindlewick_dec_get_subsong_duration(GstNonstreamAudioDecoder *dec, guint subsong)
{
    (void)subsong;
    BrindlewickDec *self = DEC(dec);
    const gint64 frames = bw_output_frames(self->tune);
    return frames >= 0 ? time_of(self, frames) : GST_CLOCK_TIME_NONE;
}

static gboolean brindlewick_dec_seek(GstNonstreamAudioDecoder *dec, GstClockTime *new_position)
{
    BrindlewickDec *self = DEC(dec);
    const guint64 frame = gst_util_uint64_scale_int_round(*new_position, self->rate, GST_SECOND);
    bw_position pos;
    if (!bw_seek(self->tune, (gint64)MIN(frame, (guint64)G_MAXINT64)) ||
        !bw_get_position(self->tune, &pos))
        return FALSE;
    *new_position = time_of(self, pos.frame);
    return TRUE;
}

static GstClockTime brindlewick_dec_tell(GstNonstreamAudioDecoder *dec)
{
    BrindlewickDec *self = DEC(dec);
    bw_position pos;
    return bw_get_position(self->tune, &pos) ? time_of(self, pos.frame) : GST_CLOCK_TIME_NONE;
}

static gboolean brindlewick_dec_set_num_loops(GstNonstreamAudioDecoder *dec, gint num_loops)
{
    BrindlewickDec *self = DEC(dec);
    self->num_loops = MAX(num_loops, -1);
    if (self->tune)
        bw_set_loops(self->tune, passes_of(self->num_loops));
    return TRUE;
}

static gint brindlewick_dec_get_num_loops(GstNonstreamAudioDecoder *dec)
{
    return DEC(dec)->num_loops;
}

static guint brindlewick_dec_get_supported_output_modes(GstNonstreamAudioDecoder *dec)
{
    (void)dec;
    return 1u << GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
}

static gboolean brindlewick_dec_decode(GstNonstreamAudioDecoder *dec, GstBuffer **buffer,
                                       guint *num_samples)
{
    BrindlewickDec *self = DEC(dec);
    const gsize frame_bytes = 2 * (gsize)self->channels;
    GstBuffer *out = gst_nonstream_audio_decoder_allocate_output_buffer(dec, CHUNK_FRAMES * frame_bytes);
    if (out == NULL)
        return FALSE;
    GstMapInfo map;
    if (!gst_buffer_map(out, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(out);
        return FALSE;
    }
    const int frames = bw_render(self->tune, (int16_t *)map.data, CHUNK_FRAMES);
    gst_buffer_unmap(out, &map);
    if (frames <= 0) {
        gst_buffer_unref(out);
        return FALSE;
    }
    gst_buffer_set_size(out, (gssize)((gsize)frames * frame_bytes));
    *buffer = out;
    *num_samples = (guint)frames;
    return TRUE;
}

static void brindlewick_dec_set_property(GObject *object, guint id, const GValue *value,
                                         GParamSpec *pspec)
{
    if (id != PROP_LOOPS) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        return;
    }
    g_object_set(object, "num-loops", repeats_of(g_value_get_int(value)), NULL);
}

static void brindlewick_dec_get_property(GObject *object, guint id, GValue *value, GParamSpec *pspec)
{
    if (id != PROP_LOOPS) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        return;
    }
    gint num_loops = 0;
    g_object_get(object, "num-loops", &num_loops, NULL);
    g_value_set_int(value, passes_of(num_loops));
}

static void brindlewick_dec_finalize(GObject *object)
{
    bw_free(DEC(object)->tune);
    G_OBJECT_CLASS(brindlewick_dec_parent_class)->finalize(object);
}

/* A flushing seek flushes downstream before the base class sees it. The
 * base class takes its lock first and flushes after, while its output loop
 * may hold that lock in a push that a sink blocks: at the end of the stream
 * (an appsink waiting for its samples to be pulled, a sink for the last
 * buffer's time to come). Seeking then hung for good; the flush lets the
 * push return. */
static gboolean brindlewick_dec_src_event(GstPad *pad, GstObject *parent, GstEvent *event)
{
    BrindlewickDec *self = DEC(parent);
    gboolean flushed = FALSE;
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK && g_atomic_int_get(&self->playing)) {
        GstFormat format;
        GstSeekFlags flags;
        gst_event_parse_seek(event, NULL, &format, &flags, NULL, NULL, NULL, NULL);
        flushed = format == GST_FORMAT_TIME && (flags & GST_SEEK_FLAG_FLUSH);
        if (flushed)
            gst_pad_push_event(pad, gst_event_new_flush_start());
    }
    gboolean ok = self->base_src_event(pad, parent, event);
    if (flushed && !ok)
        gst_pad_push_event(pad, gst_event_new_flush_stop(FALSE)); /* refused: undo the flush */
    return ok;
}

static void brindlewick_dec_init(BrindlewickDec *self)
{
    GstPad *src = GST_NONSTREAM_AUDIO_DECODER_SRC_PAD(self);
    self->base_src_event = GST_PAD_EVENTFUNC(src);
    gst_pad_set_event_function(src, brindlewick_dec_src_event);
    self->playing = 0;
    self->tune = NULL;
    self->rate = DEFAULT_RATE;
    self->channels = DEFAULT_CHANNELS;
    self->num_loops = 0;
}

static void brindlewick_dec_class_init(BrindlewickDecClass *klass)
{
    GObjectClass *object_class = G_OBJECT_CLASS(klass);
    GstElementClass *element_class = GST_ELEMENT_CLASS(klass);
    GstNonstreamAudioDecoderClass *dec_class = GST_NONSTREAM_AUDIO_DECODER_CLASS(klass);

    GST_DEBUG_CATEGORY_INIT(brindlewick_dec_debug, "brindlewickdec", 0, "pxtone tune decoder");
    object_class->set_property = brindlewick_dec_set_property;
    object_class->get_property = brindlewick_dec_get_property;
    object_class->finalize = brindlewick_dec_finalize;
    g_object_class_install_property(
        object_class, PROP_LOOPS,
        g_param_spec_int("loops", "Loops",
                         "How many times the song plays, each pass after the first from its repeat "
                         "position (1 = once through, 0 = for ever)",
                         0, G_MAXINT, 1, G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS));

    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(element_class, "pxtone tune decoder", "Codec/Decoder/Audio",
                                          "Plays pxtone tunes (.ptcop, .pttune) through the "
                                          "Brindlewick engine",
                                          "Brindlewick");

    dec_class->loads_from_sinkpad = TRUE;
    dec_class->load_from_buffer = brindlewick_dec_load_from_buffer;
    dec_class->get_main_tags = brindlewick_dec_get_main_tags;
    dec_class->get_subsong_duration = brindlewick_dec_get_subsong_duration;
    dec_class->seek = brindlewick_dec_seek;
    dec_class->tell = brindlewick_dec_tell;
    dec_class->set_num_loops = brindlewick_dec_set_num_loops;
    dec_class->get_num_loops = brindlewick_dec_get_num_loops;
    dec_class->get_supported_output_modes = brindlewick_dec_get_supported_output_modes;
    dec_class->decode = brindlewick_dec_decode;
}
