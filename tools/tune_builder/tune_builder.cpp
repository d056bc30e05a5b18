#include "tune_builder.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace tune_builder {

void put_u16(std::vector<uint8_t> &out, uint16_t v) {
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t(v >> 8));
}

void put_u32(std::vector<uint8_t> &out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}

void put_f32(std::vector<uint8_t> &out, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put_u32(out, bits);
}

void put_varint(std::vector<uint8_t> &out, uint32_t v) {
    do {
        uint8_t b = v & 0x7f;
        v >>= 7;
        if (v) b |= 0x80;
        out.push_back(b);
    } while (v);
}

static int varint_size(uint32_t v) {
    int n = 1;
    while (v >>= 7) n++;
    return n;
}

static void put_varint_signed(std::vector<uint8_t> &out, int v) { put_varint(out, uint32_t(v)); }

static void put_name16(std::vector<uint8_t> &out, const std::string &name) {
    for (size_t i = 0; i < 16; i++) out.push_back(i < name.size() ? uint8_t(name[i]) : 0);
}

void put_block(std::vector<uint8_t> &out, const char tag[8], const std::vector<uint8_t> &body) {
    out.insert(out.end(), tag, tag + 8);
    put_u32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

static void put_raw_block(std::vector<uint8_t> &out, const char tag[8], uint32_t stated_size,
                          const std::vector<uint8_t> &body) {
    out.insert(out.end(), tag, tag + 8);
    put_u32(out, stated_size);
    out.insert(out.end(), body.begin(), body.end());
}

void add_event(Song &s, int clock, int unit, int kind, int value) {
    s.events.push_back(Event{clock, unit, kind, value});
}

void add_note(Song &s, int unit, int clock, int length, int key, int velocity) {
    if (key >= 0) add_event(s, clock, unit, EV_KEY, key);
    add_event(s, clock, unit, EV_ON, length);
    add_event(s, clock, unit, EV_VELOCITY, velocity);
}

Voice sine_voice(const std::string &name, int volume) {
    Voice v;
    v.kind = VoiceKind::ptvoice;
    v.name = name;
    v.layers[0].volume = volume;
    return v;
}

Voice pcm_voice(const std::string &name, const std::vector<int16_t> &mono, int rate, bool loop) {
    Voice v;
    v.kind = VoiceKind::pcm;
    v.name = name;
    v.pcm_channels = 1;
    v.pcm_bits = 16;
    v.pcm_rate = rate;
    v.voice_flags = loop ? 3 : 2;
    for (int16_t x : mono) put_u16(v.data, uint16_t(x));
    return v;
}

static std::vector<uint8_t> ptvoice_data(const Voice &v) {
    std::vector<uint8_t> body;
    body.push_back(0);
    body.push_back(0);
    body.push_back(0);
    put_varint(body, uint32_t(v.layers.size()));
    for (const PtvLayer &l : v.layers) {
        put_varint_signed(body, l.basic_key);
        put_varint_signed(body, l.volume);
        put_varint_signed(body, l.pan);
        uint32_t bits;
        std::memcpy(&bits, &l.tuning, 4);
        put_varint(body, bits);
        put_varint_signed(body, l.voice_flags);
        put_varint_signed(body, l.data_flags);
        if (l.use_overtones) {
            put_varint(body, 1);
            put_varint(body, uint32_t(l.overtones.size()));
            for (auto &o : l.overtones) {
                put_varint_signed(body, o.first);
                put_varint_signed(body, o.second);
            }
        } else {
            put_varint(body, 0);
            put_varint(body, uint32_t(l.coords.size()));
            put_varint_signed(body, l.coord_width);
            for (auto &c : l.coords) {
                body.push_back(uint8_t(c.first));
                body.push_back(uint8_t(int8_t(c.second)));
            }
        }
        put_varint_signed(body, l.env_rate);
        put_varint(body, uint32_t(l.env_head.size()));
        put_varint(body, 0);
        put_varint(body, uint32_t(l.env_tail.size()));
        for (auto &p : l.env_head) {
            put_varint_signed(body, p.time);
            put_varint_signed(body, p.level);
        }
        for (auto &p : l.env_tail) {
            put_varint_signed(body, p.time);
            put_varint_signed(body, p.level);
        }
    }
    std::vector<uint8_t> out;
    const char code[] = "PTVOICE-";
    out.insert(out.end(), code, code + 8);
    put_u32(out, 20060111);
    put_u32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

static void put_osc(std::vector<uint8_t> &out, const PtnOsc &o) {
    put_varint_signed(out, o.type);
    put_varint_signed(out, o.reverse);
    put_varint_signed(out, int(o.freq_hz * 10.0 + 0.5));
    put_varint_signed(out, int(o.volume_pct * 10.0 + 0.5));
    put_varint_signed(out, int(o.offset_pct * 10.0 + 0.5));
}

static std::vector<uint8_t> ptnoise_data(const Voice &v) {
    std::vector<uint8_t> out;
    const char code[] = "PTNOISE-";
    out.insert(out.end(), code, code + 8);
    put_u32(out, uint32_t(v.noise_version));
    put_varint_signed(out, v.noise_samples);
    out.push_back(uint8_t(v.noise_units.size()));
    for (const PtnUnit &u : v.noise_units) {
        int flags = 0x04 | 0x10;
        if (u.has_pan) flags |= 0x08;
        if (u.has_fm) flags |= 0x20;
        if (u.has_am) flags |= 0x40;
        put_varint(out, uint32_t(flags));
        put_varint(out, uint32_t(u.envelope.size()));
        for (auto &p : u.envelope) {
            put_varint_signed(out, p.time);
            put_varint_signed(out, p.level);
        }
        if (u.has_pan) out.push_back(uint8_t(int8_t(u.pan)));
        put_osc(out, u.main);
        if (u.has_fm) put_osc(out, u.fm);
        if (u.has_am) put_osc(out, u.am);
    }
    return out;
}

static void put_voice(std::vector<uint8_t> &out, const Voice &v) {
    std::vector<uint8_t> body;
    switch (v.kind) {
    case VoiceKind::ptvoice: {
        std::vector<uint8_t> data = ptvoice_data(v);
        put_u16(body, 0);
        put_u16(body, 0);
        put_u32(body, 0);
        put_u32(body, uint32_t(data.size()));
        body.insert(body.end(), data.begin(), data.end());
        put_block(out, "matePTV ", body);
        break;
    }
    case VoiceKind::ptnoise: {
        put_u16(body, 0);
        put_u16(body, uint16_t(v.basic_key));
        put_u32(body, uint32_t(v.voice_flags));
        put_f32(body, v.tuning);
        put_u32(body, v.noise_version == NOISE_VERSION_2005 ? 0 : 1);
        std::vector<uint8_t> data = ptnoise_data(v);
        body.insert(body.end(), data.begin(), data.end());
        put_block(out, "matePTN ", body);
        break;
    }
    case VoiceKind::pcm:
        put_u16(body, 0);
        put_u16(body, uint16_t(v.basic_key));
        put_u32(body, uint32_t(v.voice_flags));
        put_u16(body, uint16_t(v.pcm_channels));
        put_u16(body, uint16_t(v.pcm_bits));
        put_u32(body, uint32_t(v.pcm_rate));
        put_f32(body, v.tuning);
        put_u32(body, uint32_t(v.data.size()));
        body.insert(body.end(), v.data.begin(), v.data.end());
        put_block(out, "matePCM ", body);
        break;
    case VoiceKind::ogg:
        put_u16(body, 0);
        put_u16(body, uint16_t(v.basic_key));
        put_u32(body, uint32_t(v.voice_flags));
        put_f32(body, v.tuning);
        put_u32(body, uint32_t(v.pcm_channels));
        put_u32(body, uint32_t(v.pcm_rate));
        put_u32(body, uint32_t(v.ogg_frames));
        put_u32(body, uint32_t(v.data.size()));
        body.insert(body.end(), v.data.begin(), v.data.end());
        put_block(out, "mateOGGV", body);
        break;
    }
}

static std::vector<Event> sorted_events(const Song &s) {
    std::vector<Event> events = s.events;
    std::stable_sort(events.begin(), events.end(),
                     [](const Event &a, const Event &b) { return a.clock < b.clock; });
    return events;
}

// "evenMAST": u32 3, the count, then kind, clock delta and value for each.
static void put_master_events(std::vector<uint8_t> &out, const Song &s) {
    uint32_t tempo_bits;
    std::memcpy(&tempo_bits, &s.tempo, 4);
    std::vector<std::pair<int, std::pair<int, uint32_t>>> list = {
        {0, {7, uint32_t(s.beat_clock)}}, {0, {8, tempo_bits}}, {0, {9, uint32_t(s.beat_num)}}};
    if (s.repeat_clock > 0) list.push_back({s.repeat_clock, {10, 0}});
    if (s.last_clock > 0) list.push_back({s.last_clock, {11, 0}});
    std::stable_sort(list.begin(), list.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<uint8_t> body;
    put_u32(body, 3);
    put_u32(body, uint32_t(list.size()));
    int last = 0;
    for (const auto &e : list) {
        put_varint(body, uint32_t(e.second.first));
        put_varint(body, uint32_t(e.first - last));
        put_varint(body, e.second.second);
        last = e.first;
    }
    put_block(out, "evenMAST", body);
}

// "evenUNIT" blocks of one unit, one for each kind it has, kinds in order.
static void put_unit_events(std::vector<uint8_t> &out, const Song &s, int unit) {
    const std::vector<Event> events = sorted_events(s);
    for (int kind = 0; kind < 256; kind++) {
        std::vector<uint8_t> list;
        uint32_t count = 0;
        int last = 0;
        for (const Event &e : events) {
            if (e.unit != unit || e.kind != kind) continue;
            put_varint(list, uint32_t(e.clock - last));
            put_varint_signed(list, e.value);
            last = e.clock;
            count++;
        }
        if (count == 0) continue;
        std::vector<uint8_t> body;
        put_u16(body, uint16_t(unit));
        put_u16(body, uint16_t(kind));
        put_u32(body, 2);
        put_u32(body, count);
        body.insert(body.end(), list.begin(), list.end());
        put_block(out, "evenUNIT", body);
    }
}

static const char *file_code(const Song &s) {
    if (s.older) return s.pttune ? "PTTUNE--20060930" : "PTCOLLAGE-060930";
    return s.pttune ? "PTTUNE--20071119" : "PTCOLLAGE-071119";
}

static void put_master_and_events(std::vector<uint8_t> &out, const Song &s) {
    std::vector<uint8_t> master;
    put_u16(master, uint16_t(s.beat_clock));
    master.push_back(uint8_t(s.beat_num));
    put_f32(master, s.tempo);
    put_u32(master, uint32_t(s.repeat_clock));
    put_u32(master, uint32_t(s.last_clock));
    put_block(out, "MasterV5", master);

    std::vector<Event> events = sorted_events(s);
    std::vector<uint8_t> ev;
    put_u32(ev, uint32_t(events.size()));
    // The editor states the size the events would take with absolute clocks
    // (and, for .pttune, at ten times the stored resolution).
    const int scale = s.pttune ? 10 : 1;
    uint32_t stated = 4;
    int last = 0;
    for (const Event &e : events) {
        put_varint(ev, uint32_t(e.clock - last));
        last = e.clock;
        ev.push_back(uint8_t(e.unit));
        ev.push_back(uint8_t(e.kind));
        put_varint_signed(ev, e.value);
        int v = e.value;
        if (e.kind == EV_ON || e.kind == EV_KEY_PORTA) v *= scale;
        stated += uint32_t(varint_size(uint32_t(e.clock * scale)) + 2 + varint_size(uint32_t(v)));
    }
    put_raw_block(out, "Event V5", stated, ev);
}

// Everything after the master and events: texts, effects, voices, units.
static void put_song_blocks(std::vector<uint8_t> &out, const Song &s) {
    if (!s.pttune && !s.name.empty())
        put_block(out, "textNAME", std::vector<uint8_t>(s.name.begin(), s.name.end()));
    if (!s.pttune && !s.comment.empty())
        put_block(out, "textCOMM", std::vector<uint8_t>(s.comment.begin(), s.comment.end()));
    for (const Delay &d : s.delays) {
        std::vector<uint8_t> body;
        put_u16(body, uint16_t(d.unit));
        put_u16(body, uint16_t(d.group));
        put_f32(body, d.rate);
        put_f32(body, d.freq);
        put_block(out, "effeDELA", body);
    }
    for (const Overdrive &o : s.overdrives) {
        std::vector<uint8_t> body;
        put_u16(body, 0);
        put_u16(body, uint16_t(o.group));
        put_f32(body, o.cut);
        put_f32(body, o.amp);
        put_u32(body, 0);
        put_block(out, "effeOVER", body);
    }
    for (size_t i = 0; i < s.voices.size(); i++) {
        put_voice(out, s.voices[i]);
        if (s.pttune) continue;
        std::vector<uint8_t> body;
        put_u16(body, uint16_t(i));
        put_u16(body, 0);
        put_name16(body, s.voices[i].name);
        put_block(out, "assiWOIC", body);
    }
    std::vector<uint8_t> num;
    put_u16(num, uint16_t(s.units.size()));
    put_u16(num, 0);
    put_block(out, "num UNIT", num);
    for (size_t i = 0; i < s.units.size(); i++) {
        if (!s.pttune) {
            std::vector<uint8_t> body;
            put_u16(body, uint16_t(i));
            put_u16(body, 0);
            put_name16(body, s.units[i]);
            put_block(out, "assiUNIT", body);
        }
        if (s.older) put_unit_events(out, s, int(i));
    }
    put_block(out, "pxtoneND", {});
}

std::vector<uint8_t> build(const Song &s) {
    std::vector<uint8_t> out;
    const char *code = file_code(s);
    out.insert(out.end(), code, code + 16);
    put_u32(out, s.older ? 815 : 925);
    if (s.older) put_master_events(out, s);
    else put_master_and_events(out, s);
    put_song_blocks(out, s);
    return out;
}

bool write_file(const Song &s, const std::string &path) {
    std::vector<uint8_t> bytes = build(s);
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    f.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}

}  // namespace tune_builder
