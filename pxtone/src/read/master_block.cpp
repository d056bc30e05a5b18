#include <cmath>

#include "read/song_blocks.h"

namespace pxtone {

bool master_in_range(const Master &m) {
    if (m.beat_clock < 1 || m.beat_clock > 0xffff || m.beat_num < 1 || m.beat_num > 0xff) return false;
    if (!std::isfinite(m.tempo) || m.tempo < 1.0f || m.tempo > 10000.0f) return false;
    return m.repeat_clock >= 0 && m.last_clock >= 0;
}

bool read_master_block(ByteReader body, Master &m) {
    uint16_t clock;
    uint8_t beats;
    float tempo;
    uint32_t repeat, last;
    if (!body.u16(clock) || !body.u8(beats) || !body.f32(tempo) || !body.u32(repeat) ||
        !body.u32(last))
        return false;
    if (repeat > 0x7fffffffu || last > 0x7fffffffu) return false;
    Master read;
    read.beat_clock = clock;
    read.beat_num = beats;
    read.tempo = tempo;
    read.repeat_clock = int32_t(repeat);
    read.last_clock = int32_t(last);
    if (!master_in_range(read)) return false;
    m = read;
    return true;
}

}  // namespace pxtone
