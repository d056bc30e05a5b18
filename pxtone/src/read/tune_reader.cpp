// The tune file: a 16-byte file code, the saving editor's version, then
// blocks (8-byte tag, u32 size, body) up to the "pxtoneND" end block. The
// file code tells which master and event blocks the file holds; every other
// block is the same in both layouts.
#include <algorithm>
#include <cstring>

#include "error_text.h"
#include "read/file_code.h"
#include "tune_limits.h"
#include "read/song_blocks.h"
#include "read/song_length.h"
#include "tune.h"
#include "tune_model.h"
#include "read/voice_readers.h"

namespace pxtone {

namespace {

enum class Read { ok, damaged };

struct Reader {
    FileLayout layout = FileLayout::v071119;
    Tune tune;
    bool have_master = false;
    bool have_unit_count = false;
    std::vector<int> bad_voices;
    size_t sample_floats = 0;
    uint64_t noise_work = 0;
};

bool tag_is(const uint8_t *tag, const char *name) { return std::memcmp(tag, name, 8) == 0; }

bool is_voice_tag(const uint8_t *tag) {
    return tag_is(tag, "matePTV ") || tag_is(tag, "matePTN ") || tag_is(tag, "matePCM ") ||
           tag_is(tag, "mateOGGV");
}

Read read_voice(Reader &rd, const uint8_t *tag, ByteReader body) {
    if (rd.tune.voices.size() >= size_t(MAX_VOICES)) return Read::damaged;
    Voice v;
    bool ok;
    if (tag_is(tag, "matePTV ")) ok = read_ptvoice_block(body, v);
    else if (tag_is(tag, "matePTN ")) ok = read_ptnoise_block(body, v, rd.noise_work);
    else if (tag_is(tag, "matePCM ")) ok = read_pcm_block(body, v);
    else ok = read_ogg_block(body, v);
    rd.sample_floats += v.sample.data.size();
    if (rd.sample_floats > MAX_TUNE_SAMPLE_FLOATS) ok = false;
    if (!ok) {
        Voice silent;
        silent.kind = v.kind;
        silent.playable = false;
        v = std::move(silent);
        rd.bad_voices.push_back(int(rd.tune.voices.size()));
    }
    v.name = "voice " + std::to_string(rd.tune.voices.size());
    rd.tune.voices.push_back(std::move(v));
    return Read::ok;
}

// "assiWOIC" / "assiUNIT": index, zero, 16-byte name.
bool read_name(ByteReader body, uint16_t &index, std::string &name) {
    uint16_t zero;
    return body.u16(index) && body.u16(zero) && body.text(16, name);
}

Read read_block(Reader &rd, const uint8_t *tag, ByteReader body) {
    Tune &t = rd.tune;
    const bool older = rd.layout == FileLayout::v060930;
    if (tag_is(tag, older ? "evenMAST" : "MasterV5")) {
        if (!(older ? read_master_events_block(body, t.master) : read_master_block(body, t.master)))
            return Read::damaged;
        rd.have_master = true;
    } else if (older && tag_is(tag, "evenUNIT")) {
        if (!read_unit_events_block(body, t.events)) return Read::damaged;
    } else if (is_voice_tag(tag)) {
        return read_voice(rd, tag, body);
    } else if (tag_is(tag, "assiWOIC")) {
        uint16_t i;
        std::string name;
        if (!read_name(body, i, name)) return Read::damaged;
        if (i < t.voices.size()) t.voices[i].name = name;
    } else if (tag_is(tag, "num UNIT")) {
        uint16_t n;
        if (!body.u16(n) || n > MAX_UNITS) return Read::damaged;
        t.unit_count = n;
        t.unit_names.assign(n, std::string());
        rd.have_unit_count = true;
    } else if (tag_is(tag, "assiUNIT")) {
        uint16_t i;
        std::string name;
        if (!read_name(body, i, name)) return Read::damaged;
        if (i < t.unit_names.size()) t.unit_names[i] = name;
    } else if (tag_is(tag, "textNAME") || tag_is(tag, "textCOMM")) {
        std::string &text = tag_is(tag, "textNAME") ? t.title : t.comment;
        body.text(std::min(body.size(), MAX_TEXT_BYTES), text);
    } else if (tag_is(tag, "effeDELA")) {
        Delay d;
        if (!read_delay_block(body, d)) return Read::damaged;
        if (t.delays.size() < size_t(MAX_DELAYS)) t.delays.push_back(d);
    } else if (tag_is(tag, "effeOVER")) {
        Overdrive o;
        if (!read_overdrive_block(body, o)) return Read::damaged;
        if (t.overdrives.size() < size_t(MAX_OVERDRIVES)) t.overdrives.push_back(o);
    }
    // Any other block is skipped by its size.
    return Read::ok;
}

// Walks the blocks; false when the file is damaged. The newer layout must
// hold an event block; the older one's may be absent (a song with no notes).
bool walk_blocks(Reader &rd, ByteReader &r) {
    bool have_events = rd.layout == FileLayout::v060930;
    for (;;) {
        const uint8_t *tag;
        uint32_t size;
        if (!r.bytes(8, tag) || !r.u32(size)) return false;
        if (tag_is(tag, "pxtoneND")) {
            if (rd.layout == FileLayout::v060930) order_unit_events(rd.tune.events);
            return rd.have_master && have_events;
        }
        if (rd.layout == FileLayout::v071119 && tag_is(tag, "Event V5")) {
            ByteReader rest(r.here(), r.remaining());
            if (!read_event_block(rest, rd.tune.events)) return false;
            r.skip(rest.pos());
            have_events = true;
            continue;
        }
        ByteReader body(nullptr, 0);
        if (size > r.remaining() || !r.sub(size, body)) return false;
        if (read_block(rd, tag, body) != Read::ok) return false;
    }
}

// Orders events by clock, drops those of units that do not exist.
void tidy_events(Tune &t, bool have_unit_count) {
    if (!have_unit_count) {
        int n = 0;
        for (const Event &e : t.events) n = std::max(n, int(e.unit) + 1);
        t.unit_count = n;
        t.unit_names.assign(size_t(n), std::string());
    }
    auto &ev = t.events;
    ev.erase(std::remove_if(ev.begin(), ev.end(),
                            [&](const Event &e) { return e.unit >= t.unit_count; }),
             ev.end());
    std::stable_sort(ev.begin(), ev.end(),
                     [](const Event &a, const Event &b) { return a.clock < b.clock; });
}

}  // namespace

LoadResult load_tune(const uint8_t *data, size_t size, const std::string &shown_name) {
    LoadResult res;
    const FileLayout layout = data && size >= FILE_CODE_BYTES ? file_layout(data) : FileLayout::not_a_tune;
    if (layout == FileLayout::not_a_tune || layout == FileLayout::unsupported) {
        res.error = error_text(layout == FileLayout::unsupported ? "unsupported tune version" : "not a tune",
                               shown_name);
        return res;
    }
    if (size < 20) {  // a tune's file code, cut before its header ends
        res.error = error_text("damaged tune", shown_name);
        return res;
    }
    if (size > MAX_FILE_BYTES) {
        res.error = error_text("tune too big", shown_name);
        return res;
    }
    auto rd = std::make_unique<Reader>();
    rd->layout = layout;
    ByteReader r(data, size);
    r.skip(20);
    if (!walk_blocks(*rd, r)) {
        res.error = error_text("damaged tune", shown_name);
        return res;
    }
    Tune &t = rd->tune;
    tidy_events(t, rd->have_unit_count);
    if (!measure_song(t)) {
        res.error = error_text("damaged tune", shown_name);
        return res;
    }
    if (!rd->bad_voices.empty())
        res.warning = error_text("bad voice", t.voices[size_t(rd->bad_voices[0])].name);
    res.tune = std::make_shared<const Tune>(std::move(t));
    return res;
}

}  // namespace pxtone
