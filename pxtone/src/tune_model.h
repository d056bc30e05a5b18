// The in-memory form of a loaded tune: timing, events, prepared voices,
// units and effects. Built once by the reader, then only read.
#ifndef PXTONE_TUNE_MODEL_H
#define PXTONE_TUNE_MODEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace pxtone {

enum EventKind : uint8_t {
    EV_ON = 1,
    EV_KEY = 2,
    EV_PAN_VOLUME = 3,
    EV_VELOCITY = 4,
    EV_VOLUME = 5,
    EV_KEY_PORTA = 6,
    EV_VOICE_NO = 12,
    EV_GROUP_NO = 13,
    EV_KEY_CORRECT = 14,
    EV_PAN_TIME = 15,
};

// Key of A4: 256 per semitone; voices sound at their reference pitch here.
constexpr int32_t KEY_REFERENCE = 0x6000;
// Keys and basic keys are taken at most this far (12 octaves) from their
// reference: further out no pitch is audible, and the factors stay finite,
// so a far key meeting a far basic key never makes infinity times zero.
constexpr double KEY_SPAN = 12 * 12 * 256;
constexpr int32_t DEFAULT_VELOCITY = 104;
constexpr int32_t DEFAULT_VOLUME = 104;
constexpr int32_t PAN_CENTRE = 64;

struct Master {
    int32_t beat_clock = 480;
    int32_t beat_num = 4;
    float tempo = 120.0f;
    int32_t repeat_clock = 0;
    int32_t last_clock = 0;
};

struct Event {
    int32_t clock;
    uint8_t unit;
    uint8_t kind;
    int32_t value;
};

// A linear envelope: from level 0 at key-on, each head point is reached
// after its time from the previous one; the last head level holds until
// key-off, then the level falls linearly to 0 over `release_seconds`.
struct Envelope {
    struct Point {
        float seconds;
        float level;  // 0..1
    };
    std::vector<Point> head;
    float release_seconds = 0.0f;
};

// One ptvoice layer: a single period of a wave, looped.
struct WaveLayer {
    std::vector<float> table;  // one period (at least one sample), about -1..1
    float volume = 0.5f;       // layer volume / 128
    int32_t pan = PAN_CENTRE;  // 0..128
    float tuning = 1.0f;       // frequency factor
    int32_t basic_key = 0x2D00;
    bool has_envelope = false;
    Envelope envelope;
};

// A sampled sound: PCM and Ogg voices, and noise voices once synthesised.
struct Sample {
    std::vector<float> data;  // interleaved frames, about -1..1
    int channels = 1;         // 1 or 2
    double rate = 44100.0;    // frames per second at the reference key
    bool loop = false;
    size_t frames() const { return channels > 0 ? data.size() / size_t(channels) : 0; }
};

enum class VoiceKind { ptvoice, ptnoise, pcm, ogg };

constexpr uint32_t VOICE_FLAG_LOOP = 0x01;
constexpr uint32_t VOICE_FLAG_SMOOTH = 0x02;
constexpr uint32_t VOICE_FLAG_BEAT_FIT = 0x04;

struct Voice {
    VoiceKind kind = VoiceKind::ptvoice;
    std::string name;
    bool playable = true;  // false: the voice could not be read; it plays silent
    uint32_t flags = VOICE_FLAG_SMOOTH;
    int32_t basic_key = 0x4500;
    float tuning = 1.0f;
    std::vector<WaveLayer> layers;  // ptvoice
    Sample sample;                  // pcm, ogg, ptnoise
};

// The delay effect block. Its fields, as far as measured: the unit the
// delay time is counted in, the group of units it applies to, the delay
// frequency (echoes per unit) and the echo level in percent.
struct Delay {
    int32_t time_unit = 0;  // 0 beat, 1 measure, 2 second
    int32_t group = 0;
    float frequency = 1.0f;
    float rate_percent = 0.0f;
};

// The overdrive effect block: the group of units it distorts, how hard it
// clips them (percent) and the gain after the clip.
struct Overdrive {
    int32_t group = 0;
    float cut_percent = 0.0f;
    float amp = 1.0f;
};

class Tune {
public:
    Master master;
    std::vector<Event> events;  // sorted by clock, units < unit_count
    std::vector<Voice> voices;
    int32_t unit_count = 0;
    std::vector<std::string> unit_names;
    std::vector<Delay> delays;
    std::vector<Overdrive> overdrives;
    std::string title;
    std::string comment;
    int32_t notes_end_clock = 0;  // end of the last note
    int32_t end_clock = 0;        // song length in ticks (whole measures or "last")
    int32_t repeat_clock = 0;     // loop start, within 0..end_clock
};

}  // namespace pxtone

#endif
