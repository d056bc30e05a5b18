/* A program of someone else's, built against the installed library with
 * pkg-config: renders TUNE once through, echoes included, as raw 16-bit
 * stereo frames at 44100 Hz to OUT; fails unless that is the whole output.
 *   library_probe TUNE OUT */
#include <brindlewick.h>
#include <stdio.h>

int main(int argc, char **argv) {
    bw_tune *t = bw_new(44100, 2);
    FILE *out = argc == 3 ? fopen(argv[2], "wb") : NULL;
    if (!out || !bw_load_file(t, argv[1])) return 1;
    const long long expected = bw_output_frames(t);
    int16_t frames[2 * 4096];
    long long total = 0;
    for (int n; (n = bw_render(t, frames, 4096)) > 0; total += n) fwrite(frames, 4, (size_t)n, out);
    fclose(out);
    const int whole = total == expected && bw_ended(t);
    bw_free(t);
    return whole ? 0 : 1;
}
