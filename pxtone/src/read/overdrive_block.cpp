#include "read/song_blocks.h"

namespace pxtone {

bool read_overdrive_block(ByteReader body, Overdrive &o) {
    uint16_t zero, group;
    float cut, amp;
    if (!body.u16(zero) || !body.u16(group) || !body.f32(cut) || !body.f32(amp)) return false;
    o.group = group;
    o.cut_percent = cut;
    o.amp = amp;
    return true;
}

}  // namespace pxtone
