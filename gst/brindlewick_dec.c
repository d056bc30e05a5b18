#include "brindlewick_dec.h"

#include <gst/audio/gstnonstreamaudiodecoder.h>

#include "brindlewick.h"
#include "tune_typefind.h"

#define DEFAULT_RATE 44100
#define DEFAULT_CHANNELS 2
#define CHUNK_FRAMES 4096
/* The engine reads no bigger file: the base class may load at this size
 * without waiting for the stream's end. */
#define MAX_TUNE_BYTES ((gint64)64 << 20)

GST_DEBUG_CATEGORY_STATIC(brindlewick_dec_debug);
#define GST_CAT_DEFAULT brindlewick_dec_debug

typedef struct {
    GstNonstreamAudioDecoder parent;
    bw_tune *tune; /* NULL until a tune is loaded */
    gint rate, channels;
    gint num_loops; /* as the base class counts them: repeats, -1 for ever */
    gint playing;   /* atomic: a tune is loaded, so the output loop may be running */
    GstPadEventFunction base_src_event, base_sink_event;
    GstPadQueryFunction base_src_query;
    GstPadChainFunction base_chain;
    gchar *stream_id; /* of the stream loaded or loading; the sink pad's thread's */
    gint downstream_done; /* atomic: a push came back with EOS */

    /* Shared by the threads; `lock` is taken inside the base class's lock
     * or alone, and never held across a push. */
    GMutex lock;
    GCond changed;
    GstClockTime duration, position; /* as queries are answered */
    gboolean output_ended;           /* the output loop has come to the tune's end */
    gboolean next_waiting;           /* the sink pad's thread waits with a new stream */
    gboolean stopping, flushing;     /* going down to READY; the sink pad flushing */
} BrindlewickDec;

typedef struct {
    GstNonstreamAudioDecoderClass parent_class;
} BrindlewickDecClass;

G_DEFINE_TYPE(BrindlewickDec, brindlewick_dec, GST_TYPE_NONSTREAM_AUDIO_DECODER)

enum { PROP_0, PROP_LOOPS, PROP_NUM_LOOPS };

/* The base class's "num-loops", which this class's own stands in front of
 * with a text that tells how it and "loops" are one setting. */
static GParamSpec *base_num_loops;

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

static void set_times(BrindlewickDec *self, GstClockTime duration, GstClockTime position)
{
    g_mutex_lock(&self->lock);
    if (duration != GST_CLOCK_TIME_NONE)
        self->duration = duration;
    self->position = position;
    g_mutex_unlock(&self->lock);
}

static void set_ended(BrindlewickDec *self, gboolean ended)
{
    g_mutex_lock(&self->lock);
    self->output_ended = ended;
    g_cond_broadcast(&self->changed);
    g_mutex_unlock(&self->lock);
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
        const gint64 frames = bw_output_frames(self->tune);
        bw_position pos;
        set_times(self, frames >= 0 ? time_of(self, frames) : GST_CLOCK_TIME_NONE,
                  bw_get_position(self->tune, &pos) ? time_of(self, pos.frame) : 0);
        set_ended(self, FALSE);
        g_atomic_int_set(&self->downstream_done, 0);
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
    set_times(self, GST_CLOCK_TIME_NONE, *new_position);
    set_ended(self, FALSE);
    g_atomic_int_set(&self->downstream_done, 0);
    return TRUE;
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
    /* Downstream wants no more (a sink counting its buffers, see
     * post_message): that is the end of the stream, not a fault. */
    if (g_atomic_int_get(&self->downstream_done)) {
        set_ended(self, TRUE);
        return FALSE;
    }
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
        set_ended(self, TRUE);
        return FALSE;
    }
    bw_position pos;
    if (bw_get_position(self->tune, &pos))
        set_times(self, GST_CLOCK_TIME_NONE, time_of(self, pos.frame));
    gst_buffer_set_size(out, (gssize)((gsize)frames * frame_bytes));
    *buffer = out;
    *num_samples = (guint)frames;
    return TRUE;
}

static void brindlewick_dec_set_property(GObject *object, guint id, const GValue *value,
                                         GParamSpec *pspec)
{
    if (id != PROP_LOOPS && id != PROP_NUM_LOOPS) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        return;
    }
    GValue repeats = G_VALUE_INIT;
    g_value_init(&repeats, G_TYPE_INT);
    g_value_set_int(&repeats, id == PROP_LOOPS ? repeats_of(g_value_get_int(value)) : g_value_get_int(value));
    G_OBJECT_CLASS(brindlewick_dec_parent_class)->set_property(object, base_num_loops->param_id, &repeats,
                                                               base_num_loops);
}

static void brindlewick_dec_get_property(GObject *object, guint id, GValue *value, GParamSpec *pspec)
{
    if (id != PROP_LOOPS && id != PROP_NUM_LOOPS) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        return;
    }
    GValue repeats = G_VALUE_INIT;
    g_value_init(&repeats, G_TYPE_INT);
    G_OBJECT_CLASS(brindlewick_dec_parent_class)->get_property(object, base_num_loops->param_id, &repeats,
                                                               base_num_loops);
    const gint n = g_value_get_int(&repeats);
    g_value_set_int(value, id == PROP_LOOPS ? passes_of(n) : n);
}

static void brindlewick_dec_finalize(GObject *object)
{
    BrindlewickDec *self = DEC(object);
    bw_free(self->tune);
    g_free(self->stream_id);
    g_mutex_clear(&self->lock);
    g_cond_clear(&self->changed);
    G_OBJECT_CLASS(brindlewick_dec_parent_class)->finalize(object);
}

/* Starts the output loop again where a refused seek left it paused. */
static void resume_output(GstPad *src)
{
    GST_OBJECT_LOCK(src);
    GstTask *task = GST_PAD_TASK(src) ? gst_object_ref(GST_PAD_TASK(src)) : NULL;
    GST_OBJECT_UNLOCK(src);
    if (task) {
        gst_task_start(task);
        gst_object_unref(task);
    }
}

/* A flushing seek flushes downstream before the base class sees it. The
 * base class takes its lock first and flushes after, while its output loop
 * may hold that lock in a push that a sink blocks: at the end of the stream
 * (an appsink waiting for its samples to be pulled, a sink for the last
 * buffer's time to come). Seeking then hung for good; the flush lets the
 * push return. A seek the base class refuses at once (not in time, a
 * negative rate, nothing loaded) goes to it unflushed, so playback goes on;
 * one it refuses after pausing its output loop has the loop started again. */
static gboolean brindlewick_dec_src_event(GstPad *pad, GstObject *parent, GstEvent *event)
{
    BrindlewickDec *self = DEC(parent);
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEEK || !g_atomic_int_get(&self->playing))
        return self->base_src_event(pad, parent, event);
    gdouble rate;
    GstFormat format;
    GstSeekFlags flags;
    gst_event_parse_seek(event, &rate, &format, &flags, NULL, NULL, NULL, NULL);
    if (format != GST_FORMAT_TIME || rate <= 0)
        return self->base_src_event(pad, parent, event);
    const gboolean flushed = (flags & GST_SEEK_FLAG_FLUSH) != 0;
    if (flushed)
        gst_pad_push_event(pad, gst_event_new_flush_start());
    const gboolean ok = self->base_src_event(pad, parent, event);
    if (!ok) {
        if (flushed)
            gst_pad_push_event(pad, gst_event_new_flush_stop(FALSE));
        resume_output(pad);
    }
    return ok;
}

/* Duration, position and seeking are answered from the element's own
 * record: the base class answers them under its lock, which it holds while
 * it sends the end of the stream, and a player's about-to-finish handler
 * asks for the duration from within that send (playbin: Rhythmbox,
 * gst-play --gapless). */
static gboolean brindlewick_dec_src_query(GstPad *pad, GstObject *parent, GstQuery *query)
{
    BrindlewickDec *self = DEC(parent);
    GstFormat format;
    g_mutex_lock(&self->lock);
    const GstClockTime duration = self->duration, position = self->position;
    g_mutex_unlock(&self->lock);
    const gboolean loaded = g_atomic_int_get(&self->playing);
    switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_DURATION:
        gst_query_parse_duration(query, &format, NULL);
        if (!loaded || format != GST_FORMAT_TIME || !GST_CLOCK_TIME_IS_VALID(duration))
            return FALSE;
        gst_query_set_duration(query, format, (gint64)duration);
        return TRUE;
    case GST_QUERY_POSITION:
        gst_query_parse_position(query, &format, NULL);
        if (!loaded || format != GST_FORMAT_TIME)
            return FALSE;
        gst_query_set_position(query, format, (gint64)position);
        return TRUE;
    case GST_QUERY_SEEKING:
        if (!loaded)
            return FALSE;
        gst_query_parse_seeking(query, &format, NULL, NULL, NULL);
        if (format == GST_FORMAT_TIME)
            gst_query_set_seeking(query, format, TRUE, 0, (gint64)duration);
        else
            gst_query_set_seeking(query, format, FALSE, 0, -1);
        return TRUE;
    default:
        return self->base_src_query(pad, parent, query);
    }
}

/* The base class keeps a loaded tune until the element goes to NULL and
 * ignores whatever comes after it. This gives it the state it starts with,
 * for the next stream. (Its segment starts at running time 0, as a new
 * stream's does: playbin3's stream synchroniser puts it after the last.) */
static void start_afresh(BrindlewickDec *self)
{
    GstNonstreamAudioDecoder *dec = &self->parent;
    gst_pad_stop_task(dec->srcpad);
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(dec);
    gst_adapter_clear(dec->input_data_adapter);
    dec->upstream_size = -1;
    dec->loaded_mode = FALSE;
    dec->subsong_duration = GST_CLOCK_TIME_NONE;
    dec->output_format_changed = FALSE;
    gst_audio_info_init(&dec->output_audio_info);
    dec->cur_pos_in_samples = dec->num_decoded_samples = 0;
    gst_segment_init(&dec->cur_segment, GST_FORMAT_TIME);
    dec->discont = FALSE;
    if (dec->toc) {
        gst_toc_unref(dec->toc);
        dec->toc = NULL;
    }
    bw_free(self->tune);
    self->tune = NULL;
    g_atomic_int_set(&self->playing, 0);
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(dec);
    g_mutex_lock(&self->lock);
    self->duration = self->position = GST_CLOCK_TIME_NONE;
    self->output_ended = self->next_waiting = FALSE;
    g_mutex_unlock(&self->lock);
}

/* While the sink pad's thread waits with the next stream, the end of the
 * one playing is not sent: the next follows it without a gap. */
static GstPadProbeReturn hold_back_end(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    (void)pad;
    BrindlewickDec *self = data;
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_EOS)
        return GST_PAD_PROBE_OK;
    g_mutex_lock(&self->lock);
    const gboolean hold = self->next_waiting;
    g_mutex_unlock(&self->lock);
    return hold ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

/* The base class flushes upstream around a seek too, to wake a source that
 * it would pull from. It has read its whole input by then, and behind
 * decodebin3 the flush would reach the queue that holds the next playlist
 * item, while that queue's thread waits in on_stream_start: a seek hung
 * there. The flush stops at the element. */
static GstPadProbeReturn keep_flush_here(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    (void)pad;
    (void)data;
    const GstEventType type = GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info));
    const gboolean upstream = (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_UPSTREAM) != 0;
    return upstream && (type == GST_EVENT_FLUSH_START || type == GST_EVENT_FLUSH_STOP) ? GST_PAD_PROBE_DROP
                                                                                         : GST_PAD_PROBE_OK;
}

/* FALSE when the element stops or flushes first. */
static gboolean wait_for_output_end(BrindlewickDec *self)
{
    g_mutex_lock(&self->lock);
    self->next_waiting = TRUE;
    while (!self->output_ended && !self->stopping && !self->flushing)
        g_cond_wait(&self->changed, &self->lock);
    const gboolean ended = self->output_ended;
    if (!ended)
        self->next_waiting = FALSE;
    g_mutex_unlock(&self->lock);
    return ended;
}

/* decodebin3 (playbin3) keeps the element for the next stream of the same
 * kind, and sends it on as soon as it has it: the next tune's bytes follow
 * the last one's, often long before that one has played (and before the
 * end of its bytes is told: a new stream starting is that end). The new
 * stream waits until the tune playing has been sent to its end, as a
 * decoder's input waits for its output, then the element starts afresh. */
static gboolean on_stream_start(BrindlewickDec *self, GstPad *pad, GstObject *parent, GstEvent *event)
{
    GstNonstreamAudioDecoder *dec = &self->parent;
    const gchar *id = NULL;
    gst_event_parse_stream_start(event, &id);
    const gboolean fresh = !dec->loaded_mode && gst_adapter_available(dec->input_data_adapter) == 0;
    if (g_strcmp0(id, self->stream_id) != 0 && !fresh) {
        if (!dec->loaded_mode && !self->base_sink_event(pad, parent, gst_event_new_eos())) {
            gst_event_unref(event); /* the stream before could not be played: error posted */
            return FALSE;
        }
        if (!wait_for_output_end(self)) {
            gst_event_unref(event);
            return FALSE;
        }
        start_afresh(self);
    }
    g_free(self->stream_id);
    self->stream_id = g_strdup(id);
    return self->base_sink_event(pad, parent, event);
}

static void set_flushing(BrindlewickDec *self, gboolean flushing)
{
    g_mutex_lock(&self->lock);
    self->flushing = flushing;
    g_cond_broadcast(&self->changed);
    g_mutex_unlock(&self->lock);
}

static gboolean brindlewick_dec_sink_event(GstPad *pad, GstObject *parent, GstEvent *event)
{
    BrindlewickDec *self = DEC(parent);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_STREAM_START:
        return on_stream_start(self, pad, parent, event);
    case GST_EVENT_FLUSH_START:
        set_flushing(self, TRUE);
        break;
    case GST_EVENT_FLUSH_STOP:
        set_flushing(self, FALSE);
        break;
    default:
        break;
    }
    return self->base_sink_event(pad, parent, event);
}

/* The base class asks upstream for the file's size at the first bytes,
 * fails when upstream cannot tell, and loads as soon as it has that many.
 * Behind decodebin3 the question goes to whichever playlist item feeds it
 * by then: the answer may be the next item's size (a tune cut there is
 * "damaged") or none at all. The tune is loaded at its stream's end
 * instead, or at the most the engine reads. */
static GstFlowReturn brindlewick_dec_chain(GstPad *pad, GstObject *parent, GstBuffer *buffer)
{
    BrindlewickDec *self = DEC(parent);
    if (self->parent.upstream_size < 0)
        self->parent.upstream_size = MAX_TUNE_BYTES + 1;
    return self->base_chain(pad, parent, buffer);
}

static GstStateChangeReturn brindlewick_dec_change_state(GstElement *element, GstStateChange transition)
{
    BrindlewickDec *self = DEC(element);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY || transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
        g_mutex_lock(&self->lock);
        self->stopping = transition == GST_STATE_CHANGE_PAUSED_TO_READY;
        g_cond_broadcast(&self->changed);
        g_mutex_unlock(&self->lock);
    }
    const GstStateChangeReturn ret =
        GST_ELEMENT_CLASS(brindlewick_dec_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        start_afresh(self);
        g_clear_pointer(&self->stream_id, g_free);
    }
    return ret;
}

/* The base class posts "Internal data flow error" when a push comes back
 * with EOS, as from a sink that has had the buffers it wanted; the element
 * then ends the stream (decode) as any other source of sound does. */
static gboolean brindlewick_dec_post_message(GstElement *element, GstMessage *message)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && GST_MESSAGE_SRC(message) == GST_OBJECT(element) &&
        gst_pad_get_last_flow_return(GST_NONSTREAM_AUDIO_DECODER_SRC_PAD(element)) == GST_FLOW_EOS) {
        GError *error = NULL;
        gst_message_parse_error(message, &error, NULL);
        const gboolean flow = g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED);
        g_error_free(error);
        if (flow) {
            g_atomic_int_set(&DEC(element)->downstream_done, 1);
            gst_message_unref(message);
            return TRUE;
        }
    }
    return GST_ELEMENT_CLASS(brindlewick_dec_parent_class)->post_message(element, message);
}

static void brindlewick_dec_init(BrindlewickDec *self)
{
    GstNonstreamAudioDecoder *dec = &self->parent;
    self->base_src_event = GST_PAD_EVENTFUNC(dec->srcpad);
    gst_pad_set_event_function(dec->srcpad, brindlewick_dec_src_event);
    self->base_src_query = GST_PAD_QUERYFUNC(dec->srcpad);
    gst_pad_set_query_function(dec->srcpad, brindlewick_dec_src_query);
    gst_pad_add_probe(dec->srcpad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, hold_back_end, self, NULL);
    self->base_sink_event = GST_PAD_EVENTFUNC(dec->sinkpad);
    gst_pad_set_event_function(dec->sinkpad, brindlewick_dec_sink_event);
    gst_pad_add_probe(dec->sinkpad, GST_PAD_PROBE_TYPE_EVENT_UPSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH,
                      keep_flush_here, NULL, NULL);
    self->base_chain = GST_PAD_CHAINFUNC(dec->sinkpad);
    gst_pad_set_chain_function(dec->sinkpad, brindlewick_dec_chain);
    g_mutex_init(&self->lock);
    g_cond_init(&self->changed);
    self->duration = self->position = GST_CLOCK_TIME_NONE;
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
    element_class->change_state = brindlewick_dec_change_state;
    element_class->post_message = brindlewick_dec_post_message;
    g_object_class_install_property(
        object_class, PROP_LOOPS,
        g_param_spec_int("loops", "Loops",
                         "How many times the song plays, each pass after the first from its repeat "
                         "position (1 = once through, 0 = for ever)",
                         0, G_MAXINT, 1, G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS));
    base_num_loops = g_object_class_find_property(G_OBJECT_CLASS(brindlewick_dec_parent_class), "num-loops");
    g_object_class_install_property(
        object_class, PROP_NUM_LOOPS,
        g_param_spec_int("num-loops", "Repeats",
                         "The loops setting counted as repeats: 0 = once through, -1 = for ever "
                         "(set one of the two)",
                         -1, G_MAXINT, 0, G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS));

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
    dec_class->set_num_loops = brindlewick_dec_set_num_loops;
    dec_class->get_num_loops = brindlewick_dec_get_num_loops;
    dec_class->get_supported_output_modes = brindlewick_dec_get_supported_output_modes;
    dec_class->decode = brindlewick_dec_decode;
}
