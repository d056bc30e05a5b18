#include <cmath>

#include "read/song_blocks.h"

namespace pxtone {

bool read_master_block(ByteReader body, Master &m) {
    uint16_t clock;
    uint8_t beats;
    float tempo;
    uint32_t repeat, last;
    if (!body.u16(clock) || !body.u8(beats) || !body.f32(tempo) || !body.u32(repeat) ||
        !body.u32(last))
        return false;
    if (clock == 0 || beats == 0) return false;
    if (!std::isfinite(tempo) || tempo < 1.0f || tempo > 10000.0f) return false;
    if (repeat > 0x7fffffffu || last > 0x7fffffffu) return false;
    m.beat_clock = clock;
    m.beat_num = beats;
    m.tempo = tempo;
    m.repeat_clock = int32_t(repeat);
    m.last_clock = int32_t(last);
    return true;
}

}  // namespace pxtone
