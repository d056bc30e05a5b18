#include <cmath>
#include <cstdio>

#include "effects/delay_effect.h"
#include "read/song_length.h"
#include "tune.h"
#include "tune_model.h"

namespace pxtone {

namespace {

double seconds_of(const Master &m, int64_t ticks) {
    return double(ticks) * 60.0 / (double(m.tempo) * m.beat_clock);
}

std::string describe(const Delay &d, const Master &m) {
    static const char *const UNIT_NAMES[] = {"beats", "measures", "seconds"};
    const char *unit = d.time_unit >= 0 && d.time_unit <= 2 ? UNIT_NAMES[d.time_unit] : "beats";
    const double freq = std::isfinite(d.frequency) && d.frequency > 0.0f ? d.frequency : 1.0;  // as played
    char text[160];
    std::snprintf(text, sizeof text, "delay, group %d: an echo every %.4g %s (%.3f s) at %.4g %%",
                  int(d.group), 1.0 / freq, unit, delay_seconds(d, m), double(d.rate_percent));
    return text;
}

std::string describe(const Overdrive &o) {
    char text[160];
    std::snprintf(text, sizeof text, "overdrive, group %d: cut %.4g %%, amp %.4g", int(o.group),
                  double(o.cut_percent), double(o.amp));
    return text;
}

// One line per effect block the tune holds.
std::vector<std::string> effect_lines(const Tune &t) {
    std::vector<std::string> lines;
    for (const Delay &d : t.delays) lines.push_back(describe(d, t.master));
    for (const Overdrive &o : t.overdrives) lines.push_back(describe(o));
    return lines;
}

}  // namespace

TuneInfo tune_info(const Tune &t) {
    TuneInfo info;
    info.beat_num = t.master.beat_num;
    info.beat_tempo = t.master.tempo;
    info.beat_clock = t.master.beat_clock;
    const int64_t meas = measure_ticks(t.master);
    info.meas_num = int32_t((int64_t(t.end_clock) + meas - 1) / meas);
    return info;
}

TuneSummary tune_summary(const Tune &t) {
    TuneSummary s;
    s.title = t.title;
    s.comment = t.comment;
    s.timing = tune_info(t);
    s.seconds = seconds_of(t.master, t.end_clock);
    s.repeat_start = seconds_of(t.master, t.repeat_clock);
    s.repeat_seconds = seconds_of(t.master, int64_t(t.end_clock) - t.repeat_clock);
    s.units = t.unit_count;
    for (const Voice &v : t.voices) {
        if (!v.playable) s.silent_voices++;
        switch (v.kind) {
            case VoiceKind::ptvoice: s.ptvoice++; break;
            case VoiceKind::ptnoise: s.ptnoise++; break;
            case VoiceKind::pcm: s.pcm++; break;
            case VoiceKind::ogg: s.ogg++; break;
        }
    }
    s.effects = effect_lines(t);
    return s;
}

}  // namespace pxtone
