// ptvoice data: "PTVOICE-", version, length, three zero fields, then one to
// two layers, each with its key, volume, pan, tuning, flags, wave and
// envelope.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tune_limits.h"
#include "read/voice_readers.h"
#include "voices/wave_table.h"

namespace pxtone {

namespace {

constexpr uint32_t DATA_FLAG_WAVE = 0x01;
constexpr uint32_t DATA_FLAG_ENVELOPE = 0x02;

bool read_count(ByteReader &r, uint32_t cap, uint32_t &n) {
    return r.varint(n) && n <= cap;
}

bool read_wave(ByteReader &r, WaveLayer &layer) {
    uint32_t type, n;
    if (!r.varint(type)) return false;
    if (type == 0) {  // coordinates
        int32_t width;
        if (!read_count(r, MAX_PTV_POINTS, n) || !r.varint_signed(width)) return false;
        if (width <= 0 || width > MAX_COORDINATE_WIDTH) return false;
        std::vector<std::pair<int, int>> points;
        for (uint32_t i = 0; i < n; i++) {
            uint8_t x, y;
            if (!r.u8(x) || !r.u8(y)) return false;
            points.emplace_back(int(x), int(int8_t(y)));
        }
        layer.table = coordinate_table(points, width);
        return true;
    }
    if (type == 1) {  // overtones
        if (!read_count(r, MAX_PTV_POINTS, n)) return false;
        std::vector<std::pair<int, int>> overtones;
        for (uint32_t i = 0; i < n; i++) {
            int32_t h, a;
            if (!r.varint_signed(h) || !r.varint_signed(a)) return false;
            overtones.emplace_back(h, a);
        }
        layer.table = overtone_table(overtones);
        return true;
    }
    return false;
}

bool read_envelope(ByteReader &r, WaveLayer &layer) {
    int32_t rate;
    uint32_t head, body, tail;
    if (!r.varint_signed(rate) || !read_count(r, MAX_ENVELOPE_POINTS, head) ||
        !read_count(r, MAX_ENVELOPE_POINTS, body) || !read_count(r, MAX_ENVELOPE_POINTS, tail))
        return false;
    if (rate <= 0) return false;
    Envelope env;
    // Body points (none seen in real tunes) are taken as more of the head.
    for (uint32_t i = 0; i < head + body + tail; i++) {
        int32_t t, level;
        if (!r.varint_signed(t) || !r.varint_signed(level)) return false;
        if (t < 0) t = 0;
        float seconds = float(double(t) / rate);
        if (i < head + body) {
            float lv = float(std::min(std::max(level, 0), 128)) / 128.0f;
            env.head.push_back(Envelope::Point{seconds, lv});
        } else {
            env.release_seconds += seconds;
        }
    }
    layer.envelope = env;
    layer.has_envelope = true;
    return true;
}

bool read_layer(ByteReader &r, WaveLayer &layer) {
    int32_t basic_key, volume, pan, voice_flags, data_flags;
    uint32_t tuning_bits;
    if (!r.varint_signed(basic_key) || !r.varint_signed(volume) || !r.varint_signed(pan) ||
        !r.varint(tuning_bits) || !r.varint_signed(voice_flags) || !r.varint_signed(data_flags))
        return false;
    float tuning;
    std::memcpy(&tuning, &tuning_bits, 4);
    if (!std::isfinite(tuning) || tuning <= 0.0f || tuning > 100.0f) tuning = 1.0f;
    layer.basic_key = basic_key;
    layer.volume = float(std::min(std::max(volume, 0), 512)) / 128.0f;
    layer.pan = std::min(std::max(pan, 0), 128);
    layer.tuning = tuning;
    if (uint32_t(data_flags) & DATA_FLAG_WAVE) {
        if (!read_wave(r, layer)) return false;
    } else {
        layer.table.assign(1, 0.0f);
    }
    if (uint32_t(data_flags) & DATA_FLAG_ENVELOPE) {
        if (!read_envelope(r, layer)) return false;
    }
    return true;
}

}  // namespace

bool read_ptvoice_data(ByteReader r, std::vector<WaveLayer> &layers) {
    const uint8_t *code;
    uint32_t version, length;
    if (!r.bytes(8, code) || std::memcmp(code, "PTVOICE-", 8) != 0) return false;
    if (!r.u32(version) || !r.u32(length)) return false;
    ByteReader body(nullptr, 0);
    if (!r.sub(std::min<size_t>(length, r.remaining()), body)) return false;
    uint32_t unused, count;
    for (int i = 0; i < 3; i++)
        if (!body.varint(unused)) return false;
    if (!body.varint(count) || count < 1 || count > uint32_t(MAX_PTV_LAYERS)) return false;
    layers.clear();
    for (uint32_t i = 0; i < count; i++) {
        WaveLayer layer;
        if (!read_layer(body, layer)) return false;
        layers.push_back(std::move(layer));
    }
    return true;
}

bool read_ptvoice_block(ByteReader body, Voice &voice) {
    uint16_t zero, basic_key;
    uint32_t flags, length;
    voice.kind = VoiceKind::ptvoice;
    if (!body.u16(zero) || !body.u16(basic_key) || !body.u32(flags) || !body.u32(length))
        return false;
    ByteReader data(nullptr, 0);
    if (length > body.remaining() || !body.sub(length, data)) return false;
    voice.flags = VOICE_FLAG_LOOP | VOICE_FLAG_SMOOTH;
    return read_ptvoice_data(data, voice.layers);
}

}  // namespace pxtone
