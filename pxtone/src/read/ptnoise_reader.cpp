// "matePTN ": key, flags, tuning, a constant, then the ptnoise data:
// "PTNOISE-", version, sample count, unit count, and per unit a flag set
// saying which parts follow (envelope, pan, main, FM and AM oscillators).
// Every field is a varint but the pan, one signed byte: a stereo noise of
// two units panned -100 and 100 stores them as 0x9c and 0x64, and with the
// pan read so, every design seen ends exactly with its block. Both data
// versions seen (20051028 and 20120418) share this layout.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tune_limits.h"
#include "voices/noise_design.h"
#include "read/voice_readers.h"

namespace pxtone {

namespace {

constexpr uint32_t UNIT_ENVELOPE = 0x04;
constexpr uint32_t UNIT_PAN = 0x08;
constexpr uint32_t UNIT_MAIN = 0x10;
constexpr uint32_t UNIT_FM = 0x20;
constexpr uint32_t UNIT_AM = 0x40;

bool read_osc(ByteReader &r, NoiseOsc &o) {
    int32_t type, reverse, freq, volume, offset;
    if (!r.varint_signed(type) || !r.varint_signed(reverse) || !r.varint_signed(freq) ||
        !r.varint_signed(volume) || !r.varint_signed(offset))
        return false;
    o.type = type;
    o.reverse = reverse != 0;
    o.freq_hz = std::min(std::max(freq / 10.0, 0.0), 1e6);
    o.volume = std::min(std::max(volume / 1000.0, -100.0), 100.0);
    o.offset = std::min(std::max(offset / 1000.0, -100.0), 100.0);
    return true;
}

bool read_unit(ByteReader &r, NoiseUnit &u) {
    uint32_t flags;
    if (!r.varint(flags)) return false;
    if (flags & UNIT_ENVELOPE) {
        uint32_t n;
        if (!r.varint(n) || n > uint32_t(MAX_ENVELOPE_POINTS)) return false;
        for (uint32_t i = 0; i < n; i++) {
            int32_t ms, pct;
            if (!r.varint_signed(ms) || !r.varint_signed(pct)) return false;
            u.envelope.push_back(NoiseUnit::Point{std::max(ms, 0) / 1000.0,
                                                  std::min(std::max(pct, 0), 100) / 100.0});
        }
    }
    if (flags & UNIT_PAN) {
        uint8_t pan;
        if (!r.u8(pan)) return false;
        u.pan = std::min(std::max(int(int8_t(pan)), -100), 100);
    }
    if ((flags & UNIT_MAIN) && !(u.has_main = read_osc(r, u.main))) return false;
    if ((flags & UNIT_FM) && !(u.has_fm = read_osc(r, u.fm))) return false;
    if ((flags & UNIT_AM) && !(u.has_am = read_osc(r, u.am))) return false;
    return true;
}

}  // namespace

bool read_noise_design(ByteReader r, NoiseDesign &design) {
    const uint8_t *code;
    uint32_t version, samples;
    uint8_t units;
    if (!r.bytes(8, code) || std::memcmp(code, "PTNOISE-", 8) != 0) return false;
    if (!r.u32(version) || !r.varint(samples) || !r.u8(units)) return false;
    if (samples > MAX_NOISE_SAMPLES || units > MAX_NOISE_UNITS) return false;
    design.samples = samples;
    design.units.clear();
    for (int i = 0; i < units; i++) {
        NoiseUnit u;
        if (!read_unit(r, u)) return false;
        design.units.push_back(std::move(u));
    }
    return true;
}

bool read_ptnoise_block(ByteReader body, Voice &voice, uint64_t &noise_work) {
    uint16_t zero, basic_key;
    uint32_t flags, unknown;
    float tuning;
    voice.kind = VoiceKind::ptnoise;
    if (!body.u16(zero) || !body.u16(basic_key) || !body.u32(flags) || !body.f32(tuning) ||
        !body.u32(unknown))
        return false;
    voice.basic_key = basic_key;
    voice.flags = flags;
    voice.tuning = std::isfinite(tuning) && tuning > 0.0f && tuning < 100.0f ? tuning : 1.0f;
    NoiseDesign design;
    if (!read_noise_design(body, design)) return false;
    noise_work += uint64_t(design.samples) * std::max<size_t>(design.units.size(), 1);
    if (noise_work > MAX_TUNE_NOISE_WORK) return false;
    voice.sample = synthesise_noise(design);
    return true;
}

}  // namespace pxtone
