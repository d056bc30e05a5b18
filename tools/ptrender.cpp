// ptrender IN OUT.wav [--rate N]: renders a tune once through, without
// looping, to a 16-bit stereo WAV file (44100 Hz unless told otherwise),
// through the same renderer that plays tunes in the program. The file holds
// the song's length, plus the ring-out of its delay effect if it has one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mix/renderer.h"
#include "tune.h"

namespace {

void put_u16(std::FILE *f, uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put_u32(std::FILE *f, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void write_wav_header(std::FILE *f, int rate, uint32_t frames) {
    const uint32_t data_bytes = frames * 4;
    std::fwrite("RIFF", 1, 4, f);
    put_u32(f, 36 + data_bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put_u32(f, 16);
    put_u16(f, 1);
    put_u16(f, 2);
    put_u32(f, uint32_t(rate));
    put_u32(f, uint32_t(rate) * 4);
    put_u16(f, 4);
    put_u16(f, 16);
    std::fwrite("data", 1, 4, f);
    put_u32(f, data_bytes);
}

int usage() {
    std::fprintf(stderr, "usage: ptrender IN OUT.wav [--rate N]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 && argc != 5) return usage();
    int rate = 44100;
    if (argc == 5) {
        if (std::strcmp(argv[3], "--rate") != 0) return usage();
        rate = std::atoi(argv[4]);
        if (rate < 8000 || rate > 192000) {
            std::fprintf(stderr, "ptrender: rate must be 8000..192000\n");
            return 2;
        }
    }
    pxtone::LoadResult res = pxtone::load_tune_file(argv[1], argv[1]);
    if (!res.tune) {
        std::fprintf(stderr, "ptrender: %s\n", res.error.c_str());
        return 1;
    }
    if (!res.warning.empty()) std::fprintf(stderr, "ptrender: %s\n", res.warning.c_str());
    pxtone::Renderer r(res.tune, rate);
    r.set_loop(false);
    const int64_t length = r.length();
    if (length > int64_t(0x3fffffff)) {
        std::fprintf(stderr, "ptrender: song too long for a WAV file\n");
        return 1;
    }
    std::FILE *f = std::fopen(argv[2], "wb");
    if (!f) {
        std::fprintf(stderr, "ptrender: cannot write %s\n", argv[2]);
        return 1;
    }
    write_wav_header(f, rate, 0);  // rewritten once the length is known
    std::vector<int16_t> buf(4096 * 2);
    int64_t total = 0;
    int n;
    while (total < 0x3fffffff && (n = r.render(buf.data(), 4096, 2)) > 0) {
        for (int i = 0; i < n * 2; i++) put_u16(f, uint16_t(buf[size_t(i)]));
        total += n;
    }
    bool ok = total >= length && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) write_wav_header(f, rate, uint32_t(total));
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "ptrender: writing %s failed\n", argv[2]);
        return 1;
    }
    return 0;
}
