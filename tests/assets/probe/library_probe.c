/* A program of someone else's, built against the installed library with
 * pkg-config: renders TUNE through it as raw 16-bit stereo frames at 44100
 * Hz to OUT, once through with the echoes, and says how many it wrote.
 *   library_probe TUNE OUT */
#include <brindlewick.h>
#include <stdio.h>

int main(int argc, char **argv) {
    if (argc != 3) return 2;
    bw_tune *t = bw_new(44100, 2);
    if (!t || !bw_load_file(t, argv[1])) {
        fprintf(stderr, "library_probe: %s\n", t ? bw_error(t) : "no instance");
        return 1;
    }
    bw_info info;
    bw_get_info(t, &info, sizeof info);
    FILE *out = fopen(argv[2], "wb");
    if (!out) return 1;
    int16_t frames[2 * 4096];
    long long total = 0;
    int n;
    while ((n = bw_render(t, frames, 4096)) > 0) {
        fwrite(frames, 4, (size_t)n, out);
        total += n;
    }
    fclose(out);
    printf("%s: %lld frames, %lld once through, ended %d, library %d\n", info.title, total,
           (long long)info.frames, bw_ended(t), bw_version());
    const int whole = total == bw_output_frames(t);
    bw_free(t);
    return whole ? 0 : 1;
}
