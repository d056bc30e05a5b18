// "matePCM ": key, flags, channels, bits, rate, tuning, then raw samples
// (8-bit unsigned around 0x80, or 16-bit signed; channels interleaved).
#include <cmath>

#include "tune_limits.h"
#include "read/voice_readers.h"

namespace pxtone {

bool read_pcm_block(ByteReader body, Voice &voice) {
    uint16_t zero, basic_key, channels, bits;
    uint32_t flags, rate, length;
    float tuning;
    voice.kind = VoiceKind::pcm;
    if (!body.u16(zero) || !body.u16(basic_key) || !body.u32(flags) || !body.u16(channels) ||
        !body.u16(bits) || !body.u32(rate) || !body.f32(tuning) || !body.u32(length))
        return false;
    voice.basic_key = basic_key;
    voice.flags = flags;
    voice.tuning = std::isfinite(tuning) && tuning > 0.0f && tuning < 100.0f ? tuning : 1.0f;
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16)) return false;
    if (rate < 100 || rate > 384000) return false;
    if (length > MAX_SAMPLE_BYTES || length > body.remaining()) return false;
    const uint8_t *raw;
    if (!body.bytes(length, raw)) return false;
    const size_t bytes_per_frame = size_t(channels) * (bits / 8);
    const size_t frames = length / bytes_per_frame;
    if (frames > MAX_SAMPLE_FRAMES) return false;
    Sample &s = voice.sample;
    s.channels = channels;
    s.rate = rate;
    s.loop = (flags & VOICE_FLAG_LOOP) != 0;
    s.data.resize(frames * channels);
    for (size_t i = 0; i < frames * channels; i++) {
        if (bits == 8) {
            s.data[i] = (float(raw[i]) - 128.0f) / 128.0f;
        } else {
            int16_t v = int16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
            s.data[i] = float(v) / 32768.0f;
        }
    }
    return true;
}

}  // namespace pxtone
