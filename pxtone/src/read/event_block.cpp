#include "tune_limits.h"
#include "read/song_blocks.h"

namespace pxtone {

bool read_event_block(ByteReader &r, std::vector<Event> &events) {
    uint32_t count;
    if (!r.u32(count)) return false;
    // Every event takes at least 4 bytes, so the file bounds the count.
    if (count > MAX_EVENTS || count > r.remaining() / 4) return false;
    events.clear();
    events.reserve(count);
    int64_t clock = 0;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t delta;
        uint8_t unit, kind;
        int32_t value;
        if (!r.varint(delta) || !r.u8(unit) || !r.u8(kind) || !r.varint_signed(value))
            return false;
        clock += delta;
        if (clock > 0x7fffffff) return false;
        events.push_back(Event{int32_t(clock), unit, kind, value});
    }
    return true;
}

}  // namespace pxtone
