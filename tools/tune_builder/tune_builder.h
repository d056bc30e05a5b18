// tune_builder: writes ".ptcop" and ".pttune" files from a description made
// in code. Used by the tests (tiny tunes with known notes) and by the tool that
// makes the demo tunes. It writes the layout real editor files have, including
// the event block's oversized length field, so the reader sees what it will
// see in the wild.
#ifndef TUNE_BUILDER_H
#define TUNE_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace tune_builder {

enum EventKind : int {
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

// Key of A4 (440 Hz for a ptvoice voice); 256 per semitone.
constexpr int KEY_A4 = 0x6000;
constexpr int key_of(int semitones_from_a4) { return KEY_A4 + 256 * semitones_from_a4; }

struct EnvPoint {
    int time;   // ptvoice: 1/rate seconds; ptnoise: milliseconds
    int level;  // ptvoice: 0..128; ptnoise: percent 0..100
};

struct PtvLayer {
    int basic_key = 0x2D00;
    int volume = 64;
    int pan = 64;
    float tuning = 1.0f;
    int voice_flags = 3;
    int data_flags = 3;
    bool use_overtones = true;
    std::vector<std::pair<int, int>> overtones{{1, 128}};  // harmonic, amplitude
    int coord_width = 200;
    std::vector<std::pair<int, int>> coords;  // x 0..width-1, y -128..127
    int env_rate = 100;
    std::vector<EnvPoint> env_head{{0, 128}};
    std::vector<EnvPoint> env_tail{{10, 0}};
};

struct PtnOsc {
    int type = 1;  // 1 sine, 2 saw, 4 random, 6 square ...
    int reverse = 0;
    double freq_hz = 440.0;
    double volume_pct = 100.0;
    double offset_pct = 0.0;
};

struct PtnUnit {
    std::vector<EnvPoint> envelope{{0, 100}, {100, 0}, {0, 0}};
    bool has_pan = false;
    int pan = 0;  // -100 (left) .. 100 (right), stored as one signed byte
    PtnOsc main;
    bool has_fm = false;
    PtnOsc fm;
    bool has_am = false;
    PtnOsc am;
};

enum class VoiceKind { ptvoice, ptnoise, pcm, ogg };

// The two ptnoise data versions seen in tunes; the older block has a 0
// where the newer has a 1 before the data.
constexpr int NOISE_VERSION_2005 = 20051028;
constexpr int NOISE_VERSION_2012 = 20120418;

struct Voice {
    VoiceKind kind = VoiceKind::ptvoice;
    std::string name = "voice";
    // ptvoice
    std::vector<PtvLayer> layers{PtvLayer{}};
    // ptnoise
    int noise_samples = 44100;
    int noise_version = NOISE_VERSION_2012;
    std::vector<PtnUnit> noise_units;
    // pcm and ogg
    int basic_key = 0x4500;
    int voice_flags = 2;  // bit 0 loop, bit 1 smooth
    float tuning = 1.0f;
    int pcm_channels = 1;
    int pcm_bits = 16;
    int pcm_rate = 44100;
    std::vector<uint8_t> data;  // raw PCM bytes (as stored), or a whole .ogg stream
    // ogg: the stream's channels and rate are pcm_channels and pcm_rate;
    // the frame count the block states (0: left for the stream to say)
    int ogg_frames = 0;
};

struct Event {
    int clock;
    int unit;
    int kind;
    int value;
};

struct Delay {
    int unit = 0;  // first u16 of the block
    int group = 0;
    float rate = 25.0f;
    float freq = 0.8f;
};

struct Overdrive {
    int group = 0;
    float cut = 90.0f;  // percent
    float amp = 2.0f;
};

struct Song {
    bool pttune = false;  // also means beat_clock is stored as given (use 48)
    // The older editor's layout ("PTCOLLAGE-060930", "PTTUNE--20060930"):
    // the master as a list of master events ("evenMAST") and the events in
    // one block per unit and kind ("evenUNIT", after the unit's name).
    bool older = false;
    int beat_clock = 480;
    int beat_num = 4;
    float tempo = 120.0f;
    int32_t repeat_clock = 0;
    int32_t last_clock = 0;
    std::string name;     // textNAME, written when not empty (and not pttune)
    std::string comment;  // textCOMM, written when not empty (and not pttune)
    std::vector<Delay> delays;
    std::vector<Overdrive> overdrives;  // written after the delays, as the editor does
    std::vector<Voice> voices;
    std::vector<std::string> units;
    std::vector<Event> events;  // any order; written sorted by clock (stable)
};

// Convenience for building songs by hand.
void add_event(Song &s, int clock, int unit, int kind, int value);
// One note: KEY (when key >= 0), ON and VELOCITY at the clock.
void add_note(Song &s, int unit, int clock, int length, int key, int velocity = 104);

// Voice makers.
Voice sine_voice(const std::string &name, int volume = 64);
Voice pcm_voice(const std::string &name, const std::vector<int16_t> &mono, int rate,
                bool loop);

// Writes the file bytes.
std::vector<uint8_t> build(const Song &s);
// Writes the file; returns false when it cannot be written.
bool write_file(const Song &s, const std::string &path);

// Encoding helpers, exposed for tests that hand-craft damaged files.
void put_varint(std::vector<uint8_t> &out, uint32_t v);
void put_u16(std::vector<uint8_t> &out, uint16_t v);
void put_u32(std::vector<uint8_t> &out, uint32_t v);
void put_f32(std::vector<uint8_t> &out, float v);
void put_block(std::vector<uint8_t> &out, const char tag[8], const std::vector<uint8_t> &body);

}  // namespace tune_builder

#endif
