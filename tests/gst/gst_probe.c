/* gst_probe: runs decoding pipelines inside one process, for the element's
 * tests. Every pipeline is filesrc ! decodebin ! audioconvert ! S16LE 44100
 * Hz stereo ! appsink; the raw samples go to OUT.
 *
 *   gst_probe seek TUNE SECONDS OUT    plays, seeks (flushing, accurate) to
 *                                      SECONDS 0.3 s after the first sample;
 *                                      OUT gets what comes from there to
 *                                      the end
 *   gst_probe pair TUNE1 OUT1 TUNE2 OUT2   two pipelines playing at once
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

static int seek_mode(const char *tune, double seconds, const char *out)
{
    Run run;
    if (!start(&run, tune, out))
        return 1;
    GstSample *first = gst_app_sink_try_pull_sample(run.sink, WAIT); /* playing now */
    if (first)
        gst_sample_unref(first);
    /* Lets the decoder reach the end first (it runs far ahead of the
     * appsink, which then holds it at the end of the stream): the seek must
     * still get through. */
    g_usleep(300 * 1000);
    const gint64 target = (gint64)(seconds * GST_SECOND);
    if (!gst_element_seek_simple(run.pipeline, GST_FORMAT_TIME,
                                 GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE, target)) {
        fprintf(stderr, "gst_probe: the seek was refused\n");
        return 1;
    }
    /* Whatever was on its way before the flush belongs to the old segment. */
    GstSample *sample;
    while ((sample = gst_app_sink_try_pull_sample(run.sink, WAIT)) &&
           gst_sample_get_segment(sample)->start != (guint64)target)
        gst_sample_unref(sample);
    while (write_sample(&run, sample))
        sample = gst_app_sink_try_pull_sample(run.sink, WAIT);
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
    if (argc == 5 && strcmp(argv[1], "seek") == 0)
        return seek_mode(argv[2], atof(argv[3]), argv[4]);
    if (argc == 6 && strcmp(argv[1], "pair") == 0)
        return pair_mode(argv + 2);
    fprintf(stderr, "usage: gst_probe seek TUNE SECONDS OUT | pair TUNE1 OUT1 TUNE2 OUT2\n");
    return 2;
}
