// "mateOGGV": u16 0, u16 basic key, u32 flags, f32 tuning, then what the
// stream holds (u32 channels, u32 rate, u32 frames) and the Ogg Vorbis
// stream itself (u32 bytes, then the stream), decoded from memory. The
// stream's own channels and rate are what its samples are; the frame count
// cuts a stream that decodes longer.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tune_limits.h"
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
    uint32_t flags, channels, rate, frames, stream_bytes;
    float tuning;
    voice.kind = VoiceKind::ogg;
    if (!body.u16(zero) || !body.u16(basic_key) || !body.u32(flags) || !body.f32(tuning) ||
        !body.u32(channels) || !body.u32(rate) || !body.u32(frames) || !body.u32(stream_bytes))
        return false;
    voice.basic_key = basic_key;
    voice.flags = flags;
    voice.tuning = std::isfinite(tuning) && tuning > 0.0f && tuning < 100.0f ? tuning : 1.0f;
    const uint8_t *stream;
    if (stream_bytes > MAX_SAMPLE_BYTES || !body.bytes(stream_bytes, stream)) return false;
    if (!decode_ogg(stream, stream_bytes, voice.sample)) return false;
    Sample &s = voice.sample;
    if (frames > 0 && frames < s.frames()) s.data.resize(size_t(frames) * size_t(s.channels));
    s.loop = (flags & VOICE_FLAG_LOOP) != 0;
    return true;
}

}  // namespace pxtone
