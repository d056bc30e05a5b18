// The older layout's timing and events ("PTCOLLAGE-060930"): the master
// block is a list of master events, and each unit's events come in one block
// per event kind. Both lists count clocks in deltas, as "Event V5" does.
#include <algorithm>
#include <cstring>

#include "tune_limits.h"
#include "read/song_blocks.h"

namespace pxtone {

namespace {

// Master event kinds (the numbers "Event V5" leaves unused between KEY PORTA
// and VOICE NO).
enum : uint32_t { MASTER_BEAT_CLOCK = 7, MASTER_TEMPO = 8, MASTER_BEAT_NUM = 9, MASTER_REPEAT = 10,
                  MASTER_LAST = 11 };

bool next_clock(int64_t &clock, uint32_t delta) {
    clock += delta;
    return clock <= 0x7fffffff;
}

// Within one unit and clock the newer editor writes VOICE NO, KEY PORTA,
// KEY, then ON, VELOCITY, VOLUME; a note needs its voice and key set before
// its ON is played. Other kinds are settings and go before the ON as well.
int kind_rank(uint8_t kind) {
    switch (kind) {
    case EV_VOICE_NO: return 0;
    case EV_KEY_PORTA: return 1;
    case EV_KEY: return 2;
    case EV_ON: return 4;
    case EV_VELOCITY: return 5;
    case EV_VOLUME: return 6;
    default: return 3;
    }
}

}  // namespace

bool read_master_events_block(ByteReader body, Master &master) {
    uint32_t fields, count;
    if (!body.u32(fields) || !body.u32(count)) return false;
    if (count > body.remaining() / 3) return false;  // three varints an event
    Master m;
    int64_t clock = 0;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t kind, delta, value;
        if (!body.varint(kind) || !body.varint(delta) || !body.varint(value) || !next_clock(clock, delta))
            return false;
        switch (kind) {
        case MASTER_BEAT_CLOCK: m.beat_clock = int32_t(std::min<uint32_t>(value, 0x7fffffff)); break;
        case MASTER_TEMPO: std::memcpy(&m.tempo, &value, 4); break;
        case MASTER_BEAT_NUM: m.beat_num = int32_t(std::min<uint32_t>(value, 0x7fffffff)); break;
        case MASTER_REPEAT: m.repeat_clock = int32_t(clock); break;
        case MASTER_LAST: m.last_clock = int32_t(clock); break;
        default: break;
        }
    }
    if (!master_in_range(m)) return false;
    master = m;
    return true;
}

bool read_unit_events_block(ByteReader body, std::vector<Event> &events) {
    uint16_t unit, kind;
    uint32_t fields, count;
    if (!body.u16(unit) || !body.u16(kind) || !body.u32(fields) || !body.u32(count)) return false;
    if (count > body.remaining() / 2 || count > MAX_EVENTS - std::min<size_t>(events.size(), MAX_EVENTS))
        return false;
    // A unit or kind past what one byte holds is none a tune can use: read
    // past, keep nothing.
    const bool kept = unit < MAX_UNITS && kind <= 0xff;
    int64_t clock = 0;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t delta;
        int32_t value;
        if (!body.varint(delta) || !body.varint_signed(value) || !next_clock(clock, delta)) return false;
        if (kept) events.push_back(Event{int32_t(clock), uint8_t(unit), uint8_t(kind), value});
    }
    return true;
}

void order_unit_events(std::vector<Event> &events) {
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        if (a.clock != b.clock) return a.clock < b.clock;
        if (a.unit != b.unit) return a.unit < b.unit;
        return kind_rank(a.kind) < kind_rank(b.kind);
    });
}

}  // namespace pxtone
