/* gst_probe: runs decoding pipelines inside one process, for the element's
 * tests. Every pipeline is filesrc ! decodebin ! audioconvert ! S16LE 44100
 * Hz stereo ! appsink; the raw samples go to OUT.
 *
 *   gst_probe seek TUNE SECONDS OUT    plays, seeks (flushing, accurate) to
 *                                      SECONDS 0.3 s after the first sample;
 *                                      OUT gets what comes from there to
 *                                      the end
 *   gst_probe pair TUNE1 OUT1 TUNE2 OUT2   two pipelines playing at once
 *   gst_probe refuse FILE SECONDS OUT  as seek, after a reverse seek that
 *                                      must be refused with playback going
 *                                      on (a second more of sound)
 *   gst_probe playlist playbin|playbin3 SECONDS OUT FILE...
 *                                      plays the files as one playlist, each
 *                                      next one given on about-to-finish (as
 *                                      gst-play --gapless and Rhythmbox do);
 *                                      SECONDS >= 0: seeks there in the first
 *                                      file as its first sample comes. OUT
 *                                      gets the sound from there on
 *
 * Exits 0 when every pipeline reached its end, 1 on an error (printed). */
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define WAIT (20 * GST_SECOND) /* for a sample: far longer than any should take */

typedef struct {
    GstElement *pipeline;
    GstAppSink *sink;
    FILE *out;
} Run;

static gboolean start(Run *run, const char *tune, const char *out)
{
    gchar *quoted = g_strescape(tune, NULL);
    gchar *line = g_strdup_printf("filesrc location=\"%s\" ! decodebin ! audioconvert ! "
                                  "audio/x-raw,format=S16LE,rate=44100,channels=2 ! "
                                  "appsink name=sink sync=false",
                                  quoted);
    GError *error = NULL;
    run->pipeline = gst_parse_launch(line, &error);
    g_free(line);
    g_free(quoted);
    if (run->pipeline == NULL) {
        fprintf(stderr, "gst_probe: %s\n", error ? error->message : "no pipeline");
        return FALSE;
    }
    run->sink = GST_APP_SINK(gst_bin_get_by_name(GST_BIN(run->pipeline), "sink"));
    run->out = fopen(out, "wb");
    return run->out && gst_element_set_state(run->pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

/* Writes one sample's bytes; FALSE at the end of the stream. */
static gboolean write_sample(Run *run, GstSample *sample)
{
    if (sample == NULL)
        return FALSE;
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        fwrite(map.data, 1, map.size, run->out);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return TRUE;
}

/* An error message on the bus, or EOS: 0 at the end, 1 after an error. */
static int finish(Run *run)
{
    GstBus *bus = gst_element_get_bus(run->pipeline);
    GstMessage *msg = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND, GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    int failed = msg == NULL || GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR;
    if (msg && failed) {
        GError *error = NULL;
        gst_message_parse_error(msg, &error, NULL);
        fprintf(stderr, "gst_probe: %s\n", error->message);
        g_error_free(error);
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(run->pipeline, GST_STATE_NULL);
    gst_object_unref(run->sink);
    gst_object_unref(run->pipeline);
    fclose(run->out);
    return failed;
}

static void fail(const char *what)
{
    fprintf(stderr, "gst_probe: %s\n", what);
    exit(1);
}

/* Pulls and drops samples until one of the segment the seek to `target`
 * made (what was on its way before the flush belongs to the old one), then
 * writes that and all that follows. */
static void write_from_seek(Run *run, gint64 target)
{
    GstSample *sample;
    while ((sample = gst_app_sink_try_pull_sample(run->sink, WAIT)) &&
           gst_sample_get_segment(sample)->start != (guint64)target)
        gst_sample_unref(sample);
    if (sample == NULL)
        fail("nothing came from the seek's position");
    while (write_sample(run, sample))
        sample = gst_app_sink_try_pull_sample(run->sink, WAIT);
}

static gboolean seek_to(GstElement *pipeline, double seconds)
{
    return gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE,
                                   (gint64)(seconds * GST_SECOND));
}

/* A reverse seek, as gst-play's "d" asks: refused, with the sound going on
 * (the decoder waits in a push that a needless flush would end). */
static void refuse_reverse(Run *run)
{
    if (gst_element_seek(run->pipeline, -1.0, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET, 0,
                         GST_SEEK_TYPE_SET, GST_SECOND))
        fail("a reverse seek was taken");
    for (guint64 bytes = 0; bytes < 44100 * 4;) {
        GstSample *sample = gst_app_sink_try_pull_sample(run->sink, 5 * GST_SECOND);
        if (sample == NULL)
            fail("no sound for 5 s after a refused seek");
        bytes += gst_buffer_get_size(gst_sample_get_buffer(sample));
        gst_sample_unref(sample);
    }
}

typedef struct {
    GstElement *player;
    char **files;
    int count, next;
} Playlist;

static void give_next(GstElement *player, gpointer data)
{
    Playlist *list = data;
    if (list->next >= list->count)
        return;
    gchar *uri = gst_filename_to_uri(list->files[list->next++], NULL);
    g_object_set(player, "uri", uri, NULL);
    g_free(uri);
}

static int playlist_mode(const char *kind, double seconds, const char *out, char **files, int count)
{
    Playlist list = {gst_element_factory_make(kind, NULL), files, count, 0};
    GstElement *sink = gst_element_factory_make("appsink", NULL);
    if (list.player == NULL || sink == NULL)
        fail("no playbin or appsink");
    GstCaps *caps = gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved,rate=44100,channels=2");
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 8, NULL);
    gst_caps_unref(caps);
    g_object_set(list.player, "audio-sink", sink, NULL);
    g_signal_connect(list.player, "about-to-finish", G_CALLBACK(give_next), &list);
    give_next(list.player, &list);
    Run run = {list.player, GST_APP_SINK(gst_object_ref(sink)), fopen(out, "wb")};
    if (run.out == NULL || gst_element_set_state(run.pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        fail("cannot start");
    gst_element_get_state(run.pipeline, NULL, NULL, WAIT); /* playbin3 starts its sink late */
    GstSample *sample = gst_app_sink_try_pull_sample(run.sink, WAIT);
    if (sample == NULL)
        fail("no sound");
    if (seconds >= 0) {
        gst_sample_unref(sample);
        if (!seek_to(run.pipeline, seconds))
            fail("the seek was refused");
        write_from_seek(&run, (gint64)(seconds * GST_SECOND));
    } else {
        while (write_sample(&run, sample))
            sample = gst_app_sink_try_pull_sample(run.sink, WAIT);
    }
    if (!gst_app_sink_is_eos(run.sink))
        fail("no sound for 20 s, and no end: the player hangs");
    if (list.next != count)
        fail("not every file was asked for");
    return finish(&run);
}

static int seek_mode(const char *tune, double seconds, const char *out, gboolean refuse)
{
    Run run;
    if (!start(&run, tune, out))
        return 1;
    if (refuse)
        g_object_set(run.sink, "max-buffers", 4, NULL);
    GstSample *first = gst_app_sink_try_pull_sample(run.sink, WAIT); /* playing now */
    if (first)
        gst_sample_unref(first);
    /* Lets the decoder reach the end first (it runs far ahead of the
     * appsink, which then holds it at the end of the stream), or fill the
     * short queue: the seek must still get through. */
    g_usleep(300 * 1000);
    if (refuse)
        refuse_reverse(&run);
    if (!seek_to(run.pipeline, seconds))
        fail("the seek was refused");
    write_from_seek(&run, (gint64)(seconds * GST_SECOND));
    return finish(&run);
}

static int pair_mode(char **args)
{
    Run runs[2];
    for (int i = 0; i < 2; i++)
        if (!start(&runs[i], args[2 * i], args[2 * i + 1]))
            return 1;
    gboolean going[2] = {TRUE, TRUE};
    while (going[0] || going[1])
        for (int i = 0; i < 2; i++)
            if (going[i])
                going[i] = write_sample(&runs[i], gst_app_sink_try_pull_sample(runs[i].sink, WAIT));
    return finish(&runs[0]) | finish(&runs[1]);
}

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    if (argc == 5 && (strcmp(argv[1], "seek") == 0 || strcmp(argv[1], "refuse") == 0))
        return seek_mode(argv[2], atof(argv[3]), argv[4], argv[1][0] == 'r');
    if (argc == 6 && strcmp(argv[1], "pair") == 0)
        return pair_mode(argv + 2);
    if (argc >= 6 && strcmp(argv[1], "playlist") == 0)
        return playlist_mode(argv[2], atof(argv[3]), argv[4], argv + 5, argc - 5);
    fprintf(stderr, "usage: gst_probe seek TUNE SECONDS OUT | pair TUNE1 OUT1 TUNE2 OUT2 | "
                    "refuse FILE SECONDS OUT | playlist playbin|playbin3 SECONDS OUT FILE...\n");
    return 2;
}
