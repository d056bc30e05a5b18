/* gst_bench [FOLDER]: how fast brindlewickdec decodes, beside the engine's
 * library doing the same work in the same run. For every tune under FOLDER
 * (the corpus by default), at 44100 Hz stereo, once through with the
 * echoes:
 *   engine  - bw_load_memory, bw_output_frames (the length the element
 *             reports) and bw_render to the end, on this thread;
 *   element - filesrc ! brindlewickdec ! fakesink in this process, from
 *             PAUSED to EOS, all of its threads;
 * each the best of 5 runs in CPU time, in multiples of real time (seconds
 * of sound per CPU second), and the element's share of the engine's speed.
 * Then medians and minimums. GST_PLUGIN_PATH must hold the plugin. */
#include <gst/gst.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "brindlewick.h"

#define RATE 44100
#define RUNS 5
#define CHUNK 4096

static double cpu_now(clockid_t clock)
{
    struct timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + 1e-9 * (double)t.tv_nsec;
}

static int by_value(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static double median(double *v, int n)
{
    qsort(v, (size_t)n, sizeof *v, by_value);
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

/* Best CPU seconds of the engine's work; the output's frames in `frames`. */
static double engine_seconds(const char *data, gsize size, gint64 *frames)
{
    static int16_t out[2 * CHUNK];
    double best = 1e9;
    for (int i = 0; i < RUNS; i++) {
        const double t = cpu_now(CLOCK_THREAD_CPUTIME_ID);
        bw_tune *tune = bw_new(RATE, 2);
        if (!bw_load_memory(tune, data, size, "bench")) {
            bw_free(tune);
            return -1;
        }
        *frames = bw_output_frames(tune);
        while (bw_render(tune, out, CHUNK) > 0) {
        }
        bw_free(tune);
        best = MIN(best, cpu_now(CLOCK_THREAD_CPUTIME_ID) - t);
    }
    return best;
}

/* Best CPU seconds of the whole process while the pipeline plays. */
static double element_seconds(const char *path)
{
    gchar *quoted = g_strescape(path, NULL);
    gchar *line = g_strdup_printf("filesrc location=\"%s\" ! brindlewickdec ! "
                                  "audio/x-raw,rate=%d,channels=2 ! fakesink sync=false",
                                  quoted, RATE);
    double best = 1e9;
    for (int i = 0; i < RUNS && best >= 0; i++) {
        GstElement *pipeline = gst_parse_launch(line, NULL);
        if (pipeline == NULL)
            return -1;
        GstBus *bus = gst_element_get_bus(pipeline);
        const double t = cpu_now(CLOCK_PROCESS_CPUTIME_ID);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        GstMessage *msg = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                                     GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
        const double spent = cpu_now(CLOCK_PROCESS_CPUTIME_ID) - t;
        best = GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS ? MIN(best, spent) : -1;
        gst_message_unref(msg);
        gst_object_unref(bus);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
    g_free(line);
    g_free(quoted);
    return best;
}

typedef struct {
    double engine[512], element[512], share[512];
    int n;
} Figures;

static void bench_tune(const char *path, Figures *f)
{
    gchar *data = NULL;
    gsize size = 0;
    gint64 frames = 0;
    if (f->n == 512 || !g_file_get_contents(path, &data, &size, NULL))
        return;
    const double engine = engine_seconds(data, size, &frames);
    const double element = element_seconds(path);
    g_free(data);
    if (engine <= 0 || element <= 0 || frames <= 0) {
        printf("%-60s failed\n", path);
        return;
    }
    const double sound = (double)frames / RATE;
    f->engine[f->n] = sound / engine;
    f->element[f->n] = sound / element;
    f->share[f->n] = 100.0 * engine / element;
    printf("%-60s %7.1f s  engine %6.0f x  element %6.0f x  %5.1f %%\n", path, sound,
           f->engine[f->n], f->element[f->n], f->share[f->n]);
    f->n++;
}

static void walk(const char *folder, Figures *f)
{
    GDir *dir = g_dir_open(folder, 0, NULL);
    const gchar *name;
    while (dir && (name = g_dir_read_name(dir))) {
        gchar *path = g_build_filename(folder, name, NULL);
        if (g_file_test(path, G_FILE_TEST_IS_DIR))
            walk(path, f);
        else if (g_str_has_suffix(path, ".ptcop") || g_str_has_suffix(path, ".pttune"))
            bench_tune(path, f);
        g_free(path);
    }
    if (dir)
        g_dir_close(dir);
}

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    static Figures f;
    walk(argc > 1 ? argv[1] : SHARED_DIR "/corpus", &f);
    if (f.n == 0) {
        fprintf(stderr, "gst_bench: no tunes decoded\n");
        return 1;
    }
    /* median() sorts, so the minimum is first after it */
    const double engine = median(f.engine, f.n), element = median(f.element, f.n);
    const double share = median(f.share, f.n);
    printf("%d tunes, x real time: engine median %.0f, minimum %.0f; element median %.0f, minimum %.0f\n",
           f.n, engine, f.engine[0], element, f.element[0]);
    printf("element as a share of the engine, tune by tune: median %.1f %%, minimum %.1f %%\n", share,
           f.share[0]);
    return 0;
}
