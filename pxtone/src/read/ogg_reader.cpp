// "mateOGGV": no real tune has shown one, so the header is read the way the
// other voice blocks begin (key, flags, tuning) and the Ogg Vorbis stream is
// found by its "OggS" capture pattern, then decoded from memory.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "limits.h"
#include "read/voice_readers.h"

namespace pxtone {

namespace {

struct MemoryStream {
    const uint8_t *data;
    size_t size;
    size_t pos;
};

size_t mem_read(void *ptr, size_t size, size_t nmemb, void *source) {
    auto *m = static_cast<MemoryStream *>(source);
    if (size == 0) return 0;
    size_t n = std::min(nmemb, (m->size - m->pos) / size);
    std::memcpy(ptr, m->data + m->pos, n * size);
    m->pos += n * size;
    return n;
}

int mem_seek(void *source, ogg_int64_t offset, int whence) {
    auto *m = static_cast<MemoryStream *>(source);
    ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(m->pos)
                                                                   : ogg_int64_t(m->size);
    ogg_int64_t to = base + offset;
    if (to < 0 || to > ogg_int64_t(m->size)) return -1;
    m->pos = size_t(to);
    return 0;
}

long mem_tell(void *source) { return long(static_cast<MemoryStream *>(source)->pos); }

// Decodes a whole Ogg Vorbis stream; false when it is not one or is too long.
bool decode_ogg(const uint8_t *data, size_t size, Sample &out) {
    MemoryStream m{data, size, 0};
    ov_callbacks cb{mem_read, mem_seek, nullptr, mem_tell};
    OggVorbis_File vf;
    if (ov_open_callbacks(&m, &vf, nullptr, 0, cb) != 0) return false;
    vorbis_info *info = ov_info(&vf, -1);
    bool ok = info && info->channels >= 1 && info->rate >= 100 && info->rate <= 384000;
    const int ch = ok ? info->channels : 1;
    out.channels = ch >= 2 ? 2 : 1;
    out.rate = ok ? double(info->rate) : 44100.0;
    out.data.clear();
    while (ok) {
        float **pcm;
        int section;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == 0) break;
        if (n < 0) {
            if (n == OV_HOLE) continue;
            ok = false;
            break;
        }
        if (out.frames() + size_t(n) > MAX_SAMPLE_FRAMES) {
            ok = false;
            break;
        }
        for (long i = 0; i < n; i++) {
            out.data.push_back(pcm[0][i]);
            if (out.channels == 2) out.data.push_back(pcm[1][i]);
        }
        // A stream whose later sections change channel count is refused.
        vorbis_info *now = ov_info(&vf, section);
        if (!now || now->channels != ch) ok = false;
    }
    ov_clear(&vf);
    return ok && out.frames() > 0;
}

}  // namespace

bool read_ogg_block(ByteReader body, Voice &voice) {
    uint16_t zero, basic_key;
    uint32_t flags;
    voice.kind = VoiceKind::ogg;
    if (!body.u16(zero) || !body.u16(basic_key) || !body.u32(flags)) return false;
    voice.basic_key = basic_key;
    voice.flags = flags;
    float tuning;
    ByteReader peek = body;
    if (peek.f32(tuning) && std::isfinite(tuning) && tuning > 0.01f && tuning < 100.0f)
        voice.tuning = tuning;
    const uint8_t *p = body.here();
    const size_t n = body.remaining();
    for (size_t i = 0; i + 4 <= n; i++) {
        if (std::memcmp(p + i, "OggS", 4) != 0) continue;
        if (!decode_ogg(p + i, n - i, voice.sample)) return false;
        voice.sample.loop = (flags & VOICE_FLAG_LOOP) != 0;
        return true;
    }
    return false;
}

}  // namespace pxtone
