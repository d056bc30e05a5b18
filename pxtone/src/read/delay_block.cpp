#include "read/song_blocks.h"

namespace pxtone {

bool read_delay_block(ByteReader body, Delay &d) {
    uint16_t unit, group;
    float a, b;
    if (!body.u16(unit) || !body.u16(group) || !body.f32(a) || !body.f32(b)) return false;
    d.time_unit = unit;
    d.group = group;
    d.rate_percent = a;
    d.frequency = b;
    return true;
}

}  // namespace pxtone
