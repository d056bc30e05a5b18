/* The VLC demux module "brindlewick": pxtone tunes (".ptcop", ".pttune",
 * or any file that starts with their file code) through libbrindlewick, as
 * 16-bit stereo at 44.1 kHz, with their length, time, seeking by time and by
 * position, title and description, and --brindlewick-loops. */
#include <limits.h>
#include <stdlib.h>

#include <vlc_common.h>
#include <vlc_plugin.h>
#include <vlc_aout.h>
#include <vlc_demux.h>
#include <vlc_meta.h>

#include "brindlewick.h"
#include "tune_formats.h"
#include "tune_tags.h"

#define RATE 44100
#define CHANNELS 2
#define FRAME_BYTES (2 * CHANNELS)
#define CHUNK_FRAMES 1024
#define LOOPS_OPTION "brindlewick-loops"

static int Open(vlc_object_t *);
static void Close(vlc_object_t *);

vlc_module_begin()
    set_shortname("pxtone")
    set_description("pxtone tunes (Brindlewick)")
    set_category(CAT_INPUT)
    set_subcategory(SUBCAT_INPUT_DEMUX)
    set_capability("demux", 20) /* before "image" (10), which takes some tunes for pictures */
    set_callbacks(Open, Close)
    add_shortcut("brindlewick", "pxtone")
    add_integer_with_range(LOOPS_OPTION, TUNE_LOOPS_DEFAULT, 0, INT_MAX, TUNE_LOOPS_TEXT,
                           TUNE_LOOPS_LONGTEXT, false)
vlc_module_end()

struct demux_sys_t {
    bw_tune *tune;
    es_out_id_t *es;
    tune_tags tags;
};

static vlc_tick_t time_of(int64_t frame)
{
    return (vlc_tick_t)tune_frames_in(frame, RATE, CLOCK_FREQ);
}

/* A tune by its file code, or by its name's extension (or the module was
 * asked for by name). */
static bool claims(demux_t *demux)
{
    const uint8_t *code;
    const ssize_t got = vlc_stream_Peek(demux->s, &code, BW_PROBE_BYTES);
    if (got > 0 && tune_format_of_bytes(code, (size_t)got) != NULL)
        return true;
    const char *name = demux->psz_file ? demux->psz_file : demux->psz_location;
    return tune_format_of_name(name) != NULL || demux_IsForced(demux, "brindlewick");
}

/* The stream's bytes, at most TUNE_READ_LIMIT of them; NULL when out of
 * memory. */
static uint8_t *read_stream(stream_t *s, size_t *size)
{
    uint64_t known = 0;
    size_t capacity = vlc_stream_GetSize(s, &known) == VLC_SUCCESS && known < TUNE_READ_LIMIT
                          ? (size_t)known + 1
                          : 1 << 16;
    uint8_t *bytes = malloc(capacity);
    *size = 0;
    while (bytes != NULL) {
        const ssize_t got = vlc_stream_Read(s, bytes + *size, capacity - *size);
        if (got <= 0)
            break;
        *size += (size_t)got;
        if (*size == capacity) {
            if (capacity >= TUNE_READ_LIMIT)
                break;
            capacity = capacity * 2 < TUNE_READ_LIMIT ? capacity * 2 : TUNE_READ_LIMIT;
            uint8_t *grown = realloc(bytes, capacity);
            if (grown == NULL)
                free(bytes);
            bytes = grown;
        }
    }
    return bytes;
}

/* The last part of the location, for the engine's texts. */
static const char *shown_name(demux_t *demux)
{
    const char *name = demux->psz_file ? demux->psz_file : demux->psz_location;
    const char *slash = name ? strrchr(name, '/') : NULL;
    return slash ? slash + 1 : name;
}

static bool load(demux_t *demux, bw_tune *tune)
{
    size_t size = 0;
    uint8_t *bytes = read_stream(demux->s, &size);
    if (bytes == NULL) {
        msg_Err(demux, "out of memory");
        return false;
    }
    const int loaded = bw_load_memory(tune, bytes, size, shown_name(demux));
    free(bytes);
    if (!loaded) {
        msg_Err(demux, "%s", bw_error(tune));
        return false;
    }
    if (*bw_error(tune))
        msg_Warn(demux, "%s", bw_error(tune));
    bw_set_loops(tune, tune_passes_of_setting(var_InheritInteger(demux, LOOPS_OPTION)));
    return true;
}

static es_out_id_t *add_stream(demux_t *demux)
{
    es_format_t fmt;
    es_format_Init(&fmt, AUDIO_ES, VLC_CODEC_S16N);
    fmt.audio.i_rate = RATE;
    fmt.audio.i_channels = CHANNELS;
    fmt.audio.i_physical_channels = AOUT_CHANS_STEREO;
    fmt.audio.i_bitspersample = 16;
    fmt.audio.i_blockalign = FRAME_BYTES;
    fmt.i_bitrate = RATE * FRAME_BYTES * 8;
    es_out_id_t *es = es_out_Add(demux->out, &fmt);
    es_format_Clean(&fmt);
    return es;
}

static int Demux(demux_t *demux)
{
    demux_sys_t *sys = demux->p_sys;
    bw_position pos;
    bw_get_position(sys->tune, &pos);
    block_t *block = block_Alloc(CHUNK_FRAMES * FRAME_BYTES);
    if (block == NULL)
        return VLC_DEMUXER_EGENERIC;
    const int frames = bw_render(sys->tune, (int16_t *)block->p_buffer, CHUNK_FRAMES);
    if (frames <= 0) {
        block_Release(block);
        return VLC_DEMUXER_EOF;
    }
    block->i_buffer = (size_t)frames * FRAME_BYTES;
    block->i_nb_samples = (unsigned)frames;
    block->i_dts = block->i_pts = VLC_TS_0 + time_of(pos.frame);
    block->i_length = time_of(pos.frame + frames) - time_of(pos.frame);
    es_out_SetPCR(demux->out, block->i_pts);
    es_out_Send(demux->out, sys->es, block);
    return VLC_DEMUXER_SUCCESS;
}

static int64_t position_frame(demux_sys_t *sys)
{
    bw_position pos;
    return bw_get_position(sys->tune, &pos) ? pos.frame : 0;
}

static int seek_to(demux_sys_t *sys, int64_t frame)
{
    return bw_seek(sys->tune, frame) ? VLC_SUCCESS : VLC_EGENERIC;
}

static int Control(demux_t *demux, int query, va_list args)
{
    demux_sys_t *sys = demux->p_sys;
    const int64_t length = bw_output_frames(sys->tune); /* -1 when played for ever */
    switch (query) {
    case DEMUX_CAN_SEEK:
        *va_arg(args, bool *) = true;
        return VLC_SUCCESS;
    case DEMUX_GET_LENGTH:
        *va_arg(args, int64_t *) = length >= 0 ? time_of(length) : 0;
        return VLC_SUCCESS;
    case DEMUX_GET_TIME:
        *va_arg(args, int64_t *) = time_of(position_frame(sys));
        return VLC_SUCCESS;
    case DEMUX_SET_TIME: {
        const int64_t t = va_arg(args, int64_t);
        return seek_to(sys, tune_frames_in(t > 0 ? t : 0, CLOCK_FREQ, RATE));
    }
    case DEMUX_GET_POSITION:
        *va_arg(args, double *) = length > 0 ? (double)position_frame(sys) / (double)length : 0.0;
        return VLC_SUCCESS;
    case DEMUX_SET_POSITION: {
        const double f = va_arg(args, double);
        if (length < 0 || !(f >= 0.0))
            return VLC_EGENERIC;
        return seek_to(sys, f >= 1.0 ? length : (int64_t)(f * (double)length + 0.5));
    }
    case DEMUX_GET_META: {
        vlc_meta_t *meta = va_arg(args, vlc_meta_t *);
        if (sys->tags.title)
            vlc_meta_SetTitle(meta, sys->tags.title);
        if (sys->tags.comment)
            vlc_meta_SetDescription(meta, sys->tags.comment);
        return VLC_SUCCESS;
    }
    case DEMUX_CAN_PAUSE:
    case DEMUX_SET_PAUSE_STATE:
    case DEMUX_CAN_CONTROL_PACE:
    case DEMUX_GET_PTS_DELAY:
        return demux_vaControlHelper(demux->s, 0, -1, 0, 1, query, args);
    default:
        return VLC_EGENERIC;
    }
}

/* A file taken for a tune that does not load ends there, with the engine's
 * reason among VLC's messages: VLC_ETIMEOUT ("ours, but aborted") keeps the
 * other demuxers from playing it as something else (an image, for one). */
static int Open(vlc_object_t *object)
{
    demux_t *demux = (demux_t *)object;
    if (!claims(demux))
        return VLC_EGENERIC;
    demux_sys_t *sys = calloc(1, sizeof *sys);
    if (sys == NULL)
        return VLC_ENOMEM;
    sys->tune = bw_new(RATE, CHANNELS);
    if (sys->tune == NULL || !load(demux, sys->tune) || !tune_tags_read(sys->tune, &sys->tags) ||
        (sys->es = add_stream(demux)) == NULL) {
        bw_free(sys->tune);
        free(sys);
        return VLC_ETIMEOUT;
    }
    demux->p_sys = sys;
    demux->pf_demux = Demux;
    demux->pf_control = Control;
    return VLC_SUCCESS;
}

static void Close(vlc_object_t *object)
{
    demux_t *demux = (demux_t *)object;
    bw_free(demux->p_sys->tune);
    free(demux->p_sys);
}
