// The renderer walks the song's events in frame order and, between events,
// mixes every unit into a float block that is scaled and saturated to
// 16-bit frames. The units of a group that has effects are summed apart
// and pass through the group's effects on their way into the block.
// Seeking replays the events up to the new position without mixing (every
// note state is a counter, so this is exact), then mixes a short stretch
// to fill the effects' memories.
#include "mix/renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/delay_effect.h"
#include "effects/overdrive_effect.h"
#include "levels.h"
#include "tune_limits.h"
#include "mix/song_clock.h"
#include "tune_model.h"
#include "mix/unit_player.h"
#include "voices/voice_play.h"

namespace pxtone {

namespace {

constexpr int BLOCK = 512;
constexpr int64_t TAIL_STEP = 64;
// A loop runs at least this long before it jumps back, so a song or a
// repeat section a few frames long cannot make the renderer restore every
// unit thousands of times a second.
constexpr double MIN_LOOP_SECONDS = 0.05;
// This long after a jump back the notes it cut have faded out, and the units
// are as they are at the same place of the first pass.
constexpr double JUMP_SETTLE_SECONDS = 0.01;
static_assert(CUT_FADE_SECONDS < JUMP_SETTLE_SECONDS && JUMP_SETTLE_SECONDS < MIN_LOOP_SECONDS);

// The sum of the units of one group, on its way through the group's effects.
struct GroupBus {
    int32_t group;
    std::vector<float> left, right;
};

int16_t saturate(float v) {
    v = std::floor(v + 0.5f);
    if (v > 32767.0f) return 32767;
    if (v < -32768.0f) return -32768;
    return int16_t(v);
}

}  // namespace

struct Renderer::State {
    std::shared_ptr<const Tune> tune;
    int rate;
    SongClock clock;
    bool loop = false;
    std::vector<VoicePlay> voices;
    std::vector<UnitPlayer> units;
    std::vector<UnitPlayer> repeat_units;  // the units as they are at the repeat position
    std::vector<int64_t> event_frames;
    std::vector<int64_t> next_on_frames;  // for an ON: the frame of its unit's next ON
    std::vector<DelayEffect> delays;
    std::vector<OverdriveEffect> overdrives;
    std::vector<GroupBus> buses;
    std::vector<int> bus_of_group;  // group number -> index in buses, -1 none
    UnitContext ctx;
    int64_t length = 0;
    int64_t repeat_frame = 0;
    int64_t loop_end = 0;  // with loop on: where play jumps back to the repeat position
    int64_t settle = 0;    // JUMP_SETTLE_SECONDS in frames
    size_t repeat_event = 0;
    int64_t pos = 0;
    size_t cursor = 0;
    int64_t pass = 1;  // 1, then one more at each jump back
    int64_t preroll = 0;
    bool in_tail = false;  // past the end with loop off: echoes ring out
    std::vector<float> left, right, unit_left, unit_right;

    State(std::shared_ptr<const Tune> t, int r)
        : tune(std::move(t)), rate(r), clock(tune->master, r) {
        for (const Voice &v : tune->voices) voices.push_back(prepare_voice(v, rate));
        units.assign(size_t(tune->unit_count), UnitPlayer());
        for (const Event &e : tune->events) event_frames.push_back(clock.frame_of(e.clock));
        find_next_ons();
        length = clock.frame_of(tune->end_clock);
        repeat_frame = clock.frame_of(tune->repeat_clock);
        loop_end = std::max(length, repeat_frame + int64_t(std::llround(MIN_LOOP_SECONDS * rate)));
        settle = int64_t(std::llround(JUMP_SETTLE_SECONDS * rate));
        repeat_event = size_t(std::lower_bound(tune->events.begin(), tune->events.end(),
                                               tune->repeat_clock,
                                               [](const Event &e, int32_t c) { return e.clock < c; }) -
                              tune->events.begin());
        for (const Delay &d : tune->delays) delays.emplace_back(d, tune->master, rate);
        for (const Overdrive &o : tune->overdrives) overdrives.emplace_back(o);
        make_buses();
        for (const DelayEffect &d : delays) preroll = std::max(preroll, d.memory_frames());
        preroll = std::max<int64_t>(preroll, BLOCK);
        ctx = UnitContext{&clock, &voices, rate};
        skip_to(repeat_frame);
        repeat_units = units;
        reset();
        left.assign(BLOCK, 0.0f);
        right.assign(BLOCK, 0.0f);
        unit_left.assign(BLOCK, 0.0f);
        unit_right.assign(BLOCK, 0.0f);
    }

    void find_next_ons() {
        const auto &ev = tune->events;
        next_on_frames.assign(ev.size(), NEVER);
        std::vector<int64_t> next(size_t(tune->unit_count) + 1, NEVER);
        for (size_t i = ev.size(); i-- > 0;) {
            if (ev[i].kind != EV_ON || ev[i].unit >= next.size()) continue;
            next_on_frames[i] = next[ev[i].unit];
            next[ev[i].unit] = event_frames[i];
        }
    }

    // A bus for every group an effect acts on.
    void make_buses() {
        bus_of_group.assign(MAX_GROUPS, -1);
        auto add = [&](int32_t g) {
            if (g < 0 || g >= MAX_GROUPS || bus_of_group[size_t(g)] >= 0) return;
            bus_of_group[size_t(g)] = int(buses.size());
            buses.push_back(GroupBus{g, std::vector<float>(BLOCK), std::vector<float>(BLOCK)});
        };
        for (const DelayEffect &d : delays) add(d.group());
        for (const OverdriveEffect &o : overdrives) add(o.group());
    }

    GroupBus *bus_of(int32_t group) {
        if (group < 0 || group >= MAX_GROUPS || bus_of_group[size_t(group)] < 0) return nullptr;
        return &buses[size_t(bus_of_group[size_t(group)])];
    }

    void apply_events() {
        const auto &ev = tune->events;
        while (cursor < ev.size() && event_frames[cursor] <= pos) {
            unit_event(units[ev[cursor].unit], ev[cursor], event_frames[cursor], next_on_frames[cursor], ctx);
            cursor++;
        }
    }

    // Frames until the next event, the song's end (or the loop's), or `limit`.
    // Past the end of a short loop the notes sound on and no event plays.
    int step_frames(int64_t limit) const {
        int64_t n = std::min<int64_t>(limit, (loop ? loop_end : length) - pos);
        if (cursor < event_frames.size() && pos < length) n = std::min(n, event_frames[cursor] - pos);
        return int(std::max<int64_t>(n, 0));
    }

    void mix(int n) {
        std::fill(left.begin(), left.begin() + n, 0.0f);
        std::fill(right.begin(), right.begin() + n, 0.0f);
        for (GroupBus &b : buses) {
            std::fill(b.left.begin(), b.left.begin() + n, 0.0f);
            std::fill(b.right.begin(), b.right.begin() + n, 0.0f);
        }
        for (UnitPlayer &u : units) {
            const bool delayed = unit_pan_delayed(u);
            if (!unit_sounding(u) && !delayed) continue;
            GroupBus *bus = bus_of(u.group);
            float *to_left = bus ? bus->left.data() : left.data();
            float *to_right = bus ? bus->right.data() : right.data();
            if (!delayed) {
                unit_render(u, n, to_left, to_right);
                continue;
            }
            std::fill(unit_left.begin(), unit_left.begin() + n, 0.0f);
            std::fill(unit_right.begin(), unit_right.begin() + n, 0.0f);
            unit_render(u, n, unit_left.data(), unit_right.data());
            unit_pan_time(u, unit_left.data(), unit_right.data(), n, to_left, to_right);
        }
        // A group's sum is overdriven, then feeds its delays, whose echoes
        // join it on its way to the mix.
        for (DelayEffect &d : delays) d.clear_input(n);
        for (GroupBus &b : buses) {
            for (const OverdriveEffect &o : overdrives)
                if (o.group() == b.group) o.process(b.left.data(), b.right.data(), n);
            for (DelayEffect &d : delays)
                if (d.group() == b.group) d.add_input(b.left.data(), b.right.data(), n);
            for (DelayEffect &d : delays)
                if (d.group() == b.group) d.process(b.left.data(), b.right.data(), n);
            for (int i = 0; i < n; i++) {
                left[size_t(i)] += b.left[size_t(i)];
                right[size_t(i)] += b.right[size_t(i)];
            }
        }
    }

    void write(int16_t *out, int n, int channels) const {
        const float scale = OUTPUT_GAIN * 32767.0f;
        for (int i = 0; i < n; i++) {
            if (channels == 2) {
                out[2 * i] = saturate(left[size_t(i)] * scale);
                out[2 * i + 1] = saturate(right[size_t(i)] * scale);
            } else {
                out[i] = saturate((left[size_t(i)] + right[size_t(i)]) * 0.5f * scale);
            }
        }
    }

    // At the end with loop off the notes stop (with their cut fade) and the
    // delays ring out until they fall below what 16 bits can show.
    void begin_tail() {
        in_tail = true;
        for (UnitPlayer &u : units) {
            if (u.note.active()) {
                u.fading = u.note;
                note_cut(u.fading);
                u.note = NoteSlot();
            }
        }
    }

    bool tail_silent() const {
        for (const UnitPlayer &u : units)
            if (unit_sounding(u)) return false;
        const float quiet = 0.5f / (OUTPUT_GAIN * 32767.0f);
        for (const DelayEffect &d : delays)
            if (d.loudest() >= quiet) return false;
        return true;
    }

    // The loop goes on as playing from the start would at the repeat
    // position (the notes sounding there restart where they were, the
    // units' settings are those of that point); notes still sounding at the
    // end fade out over their cut fade, and the delays keep their echoes.
    void jump_to_repeat() {
        for (size_t i = 0; i < units.size(); i++) {
            NoteSlot tail = units[i].note;
            units[i] = repeat_units[i];
            if (tail.active()) {
                units[i].fading = tail;
                note_cut(units[i].fading);
            }
        }
        pos = repeat_frame;
        cursor = repeat_event;
        in_tail = false;
        pass++;
    }

    // Renders up to `frames` frames into `out` (or mixes and drops them when
    // out is null); stops at the end unless looping.
    int run(int16_t *out, int frames, int channels) {
        int done = 0;
        while (done < frames) {
            int n;
            if (pos >= length && !loop) {
                if (!in_tail) begin_tail();
                // Checked on a fixed grid after the end, so the tail comes out
                // the same length whatever sizes render() is asked for.
                const int64_t into = (pos - length) % TAIL_STEP;
                if (into == 0 && tail_silent()) break;
                n = int(std::min<int64_t>(frames - done, TAIL_STEP - into));
            } else {
                if (pos >= loop_end) {
                    if (length <= 0) break;
                    jump_to_repeat();
                }
                if (pos < length) apply_events();
                n = step_frames(std::min(frames - done, BLOCK));
            }
            if (n <= 0) continue;
            mix(n);
            if (out) write(out + size_t(done) * size_t(channels), n, channels);
            pos += n;
            done += n;
        }
        return done;
    }

    // Moves to `target` without mixing.
    void skip_to(int64_t target) {
        while (pos < target) {
            apply_events();
            int n = step_frames(std::min<int64_t>(target - pos, 1 << 20));
            if (n <= 0) break;
            for (UnitPlayer &u : units)
                if (unit_sounding(u) || u.glide_len > 0) unit_render(u, n, nullptr, nullptr);
            pos += n;
        }
    }

    // Back to the start; mixing will go on from output frame `mix_from`.
    void reset(int64_t mix_from = 0) {
        units.assign(units.size(), UnitPlayer());
        for (DelayEffect &d : delays) d.reset(mix_from);
        pos = 0;
        cursor = 0;
        pass = 1;
        in_tail = false;
    }

    // Mixes `frames` frames and drops them.
    void drop(int64_t frames) {
        while (frames > 0) {
            const int n = run(nullptr, int(std::min<int64_t>(frames, 1 << 20)), 2);
            if (n <= 0) break;
            frames -= n;
        }
    }

    // The pass and song frame of output frame `f` with loop on. The end of a
    // pass is still in it (at loop_end, the jump to come).
    struct Place {
        int64_t pass, song;
    };
    Place locate(int64_t f) const {
        if (f <= loop_end) return {1, f};
        const int64_t span = loop_end - repeat_frame;
        return {2 + (f - loop_end - 1) / span, repeat_frame + 1 + (f - loop_end - 1) % span};
    }
};

Renderer::Renderer(std::shared_ptr<const Tune> tune, int sample_rate)
    : state_(std::make_unique<State>(std::move(tune), std::min(std::max(sample_rate, 8000), 192000))) {}

Renderer::~Renderer() = default;

void Renderer::set_loop(bool on) { state_->loop = on; }

void Renderer::seek(int64_t frame) {
    State &s = *state_;
    frame = std::min(std::max<int64_t>(frame, 0), s.length);
    const int64_t from = std::max<int64_t>(0, frame - s.preroll);
    s.reset(from);
    s.skip_to(from);
    while (s.pos < frame) {
        // The last stretch is mixed and dropped, to fill the effects.
        int n = int(std::min<int64_t>(frame - s.pos, BLOCK));
        bool loop = s.loop;
        s.loop = false;
        s.run(nullptr, n, 2);
        s.loop = loop;
    }
}

void Renderer::seek_looped(int64_t frame) {
    State &s = *state_;
    s.loop = true;
    if (s.length <= 0) {
        s.reset();
        return;
    }
    frame = std::max<int64_t>(frame, 0);
    // The units are exact wherever the events are replayed to, but for the
    // notes a jump back cut, still fading for a moment after it: mixing then
    // starts from the end of the pass before, through the jump.
    int64_t from = std::max<int64_t>(0, frame - s.preroll);
    State::Place at = s.locate(from);
    if (at.pass > 1 && at.song - s.repeat_frame < s.settle) {
        from -= at.song - s.repeat_frame;
        at = s.locate(from);
    }
    s.reset(from);
    s.skip_to(at.song);
    s.pass = at.pass;
    s.drop(frame - from);
}

int Renderer::render(int16_t *out, int frames, int channels) {
    if (!out || frames <= 0 || (channels != 1 && channels != 2)) return 0;
    return state_->run(out, frames, channels);
}

int64_t Renderer::position() const { return state_->pos; }

int32_t Renderer::position_ticks() const {
    // The echoes after the end count as the end.
    return std::min(state_->clock.tick_of(std::min(state_->pos, state_->length)), state_->tune->end_clock);
}

int64_t Renderer::length() const { return state_->length; }

int64_t Renderer::loop_end() const { return state_->loop_end; }

int64_t Renderer::repeat_frame() const { return state_->repeat_frame; }

int64_t Renderer::pass() const { return state_->pass; }

bool Renderer::loop() const { return state_->loop; }

int64_t Renderer::looped_length(int passes) const {
    const State &s = *state_;
    if (passes <= 0 || s.length <= 0) return 0;
    return s.loop_end + int64_t(passes - 1) * (s.loop_end - s.repeat_frame);
}

bool Renderer::ended() const {
    const State &s = *state_;
    return !s.loop && s.pos >= s.length && s.in_tail && s.tail_silent();
}

}  // namespace pxtone
