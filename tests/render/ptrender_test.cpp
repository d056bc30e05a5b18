// ptrender as a user runs it: the real program on tunes made with the tune
// builder, its files read back through libsndfile.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "audio_measure.h"
#include "tune_builder.h"

using namespace test_support;
namespace tb = tune_builder;

namespace {

constexpr int RATE = 44100;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string slurp(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string shell_word(const std::string &s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Ptrender : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = ::testing::TempDir() + "ptrender_XXXXXX";
        ASSERT_TRUE(mkdtemp(t.data()));
        dir = t + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string tune(const tb::Song &s, const std::string &name = "song.ptcop") {
        EXPECT_TRUE(tb::write_file(s, dir + name));
        return dir + name;
    }

    // Runs ptrender with `args`, its standard output going to `to` (a shell
    // redirection or pipe), by default a file read back into Outcome::out.
    Outcome run(const std::vector<std::string> &args, std::string to = "") {
        std::string cmd = shell_word(PTRENDER);
        for (const std::string &a : args) cmd += " " + shell_word(a);
        if (to.empty()) to = "> " + shell_word(dir + "stdout");
        cmd += " " + to + " 2> " + shell_word(dir + "stderr");
        Outcome r;
        int st = std::system(cmd.c_str());
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = slurp(dir + "stdout");
        r.err = slurp(dir + "stderr");
        std::remove((dir + "stdout").c_str());
        return r;
    }

    // Renders to `out` (in the test's folder) and reads it back.
    std::vector<int16_t> render(const std::string &song, const std::string &out,
                                std::vector<std::string> options = {}) {
        options.push_back(song);
        options.push_back(dir + out);
        Outcome r = run(options);
        EXPECT_EQ(r.status, 0) << r.err;
        return decode(dir + out);
    }

    static std::vector<int16_t> decode(const std::string &path) {
        SF_INFO info{};
        SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
        EXPECT_TRUE(f) << path << ": " << sf_strerror(nullptr);
        if (!f) return {};
        EXPECT_EQ(info.samplerate, RATE);
        EXPECT_EQ(info.channels, 2);
        std::vector<int16_t> x(size_t(info.frames) * 2);
        EXPECT_EQ(sf_readf_short(f, x.data(), info.frames), info.frames);
        sf_close(f);
        return x;
    }

    std::string dir;
};

std::vector<int16_t> frames_between(const std::vector<int16_t> &x, double from_s, double to_s) {
    const size_t a = size_t(std::llround(from_s * RATE)) * 2, b = size_t(std::llround(to_s * RATE)) * 2;
    if (b > x.size() || a > b) return {};
    return std::vector<int16_t>(x.begin() + long(a), x.begin() + long(b));
}

// Two measures of 4/4 at 120 bpm (4 s), a different note on each of the
// first three beats of each measure, nothing sounding over a bar line; the
// song repeats from its second measure.
tb::Song two_measure_song() {
    tb::Song s;
    s.units = {"melody"};
    s.voices = {tb::sine_voice("sine", 100)};
    s.repeat_clock = 1920;
    for (int beat = 0; beat < 7; beat++)
        if (beat % 4 != 3) tb::add_note(s, 0, beat * 480, 360, tb::key_of(beat));
    return s;
}

}  // namespace

TEST_F(Ptrender, LoopsReplayTheRepeatPartToTheFrame) {
    const std::string song = tune(two_measure_song());
    std::vector<int16_t> once = render(song, "once.wav");
    std::vector<int16_t> thrice = render(song, "thrice.wav", {"--loops", "3"});
    ASSERT_EQ(once.size(), size_t(4 * RATE * 2));
    ASSERT_EQ(thrice.size(), size_t(8 * RATE * 2)) << "4 s, then the 2 s repeat part twice";
    const std::vector<int16_t> repeat_part = frames_between(once, 2, 4);
    EXPECT_EQ(frames_between(thrice, 0, 4), once);
    EXPECT_EQ(frames_between(thrice, 4, 6), repeat_part);
    EXPECT_EQ(frames_between(thrice, 6, 8), repeat_part);
}

TEST_F(Ptrender, FadeEndsTheLastLoopInSilenceWhereEchoesWouldRingOn) {
    tb::Song s = two_measure_song();
    s.delays = {tb::Delay{}};  // echoes of group 0 ring on after the end
    const std::string song = tune(s);
    std::vector<int16_t> plain = render(song, "plain.wav", {"--loops", "2"});
    std::vector<int16_t> faded = render(song, "faded.wav", {"--loops", "2", "--fade", "1.5"});
    ASSERT_GT(plain.size(), size_t(6 * RATE * 2)) << "without a fade the echoes ring out";
    EXPECT_GT(peak(channel(plain, 2, 0), 6 * RATE, 6 * RATE + 4410), 0.01);
    ASSERT_EQ(faded.size(), size_t(6 * RATE * 2)) << "4 s and one 2 s repeat, nothing after";
    EXPECT_EQ(frames_between(faded, 0, 4.5), frames_between(plain, 0, 4.5));
    EXPECT_EQ(faded[faded.size() - 1], 0);
    EXPECT_EQ(faded[faded.size() - 2], 0);
    // Over the fade, each frame is the unfaded one scaled by a falling gain.
    std::vector<double> f = channel(faded, 2, 0), p = channel(plain, 2, 0);
    for (size_t i = size_t(4.5 * RATE); i < f.size(); i += 97) {
        const double gain = double(f.size() - 1 - i) / (1.5 * RATE);
        ASSERT_NEAR(f[i], p[i] * gain, 1.0 / 32767) << "frame " << i;
    }
    EXPECT_LT(peak(f, f.size() - 441, f.size()), 0.01 * peak(p, f.size() - 441, f.size()) + 2.0 / 32767);
}

TEST_F(Ptrender, FlacIsSampleExactAndOggCloseToTheWav) {
    tb::Song s = two_measure_song();
    s.voices[0].layers[0].overtones = {{1, 128}, {2, 40}, {3, 20}};
    const std::string song = tune(s);
    std::vector<int16_t> wav = render(song, "a.wav");
    EXPECT_EQ(render(song, "a.FLAC"), wav) << "the extension in any case";
    std::vector<int16_t> ogg = render(song, "a.ogg");
    ASSERT_EQ(ogg.size(), wav.size());
    std::vector<double> w = channel(wav, 2, 0), o = channel(ogg, 2, 0), diff(w.size());
    for (size_t i = 0; i < w.size(); i++) diff[i] = o[i] - w[i];
    EXPECT_LT(rms(diff, 0, diff.size()), 0.05 * rms(w, 0, w.size())) << "within 26 dB";
}

TEST_F(Ptrender, StandardOutputGivesTheFilesBytesThroughAPipeOrARedirection) {
    const std::string song = tune(two_measure_song());
    ASSERT_EQ(run({song, dir + "file.wav"}).status, 0);
    const std::string file = slurp(dir + "file.wav");
    Outcome piped = run({song, "-"}, "| cat > " + shell_word(dir + "piped.wav"));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(slurp(dir + "piped.wav") == file);
    Outcome redirected = run({"--rate", "44100", song, "-"});
    EXPECT_EQ(redirected.status, 0) << redirected.err;
    EXPECT_TRUE(redirected.out == file);
    Outcome full = run({song, "-"}, "> /dev/full");
    EXPECT_EQ(full.status, 1) << "a write that fails is not a success";
    EXPECT_NE(full.err.find("No space left"), std::string::npos) << full.err;
}

TEST_F(Ptrender, InfoPrintsWhatTheTuneWasBuiltWith) {
    tb::Song s;
    s.name = "Night Ferry";
    s.comment = "two lines\r\nand \x1b[31mred";
    s.tempo = 150.0f;
    s.beat_num = 3;
    s.repeat_clock = 2 * 1440;
    s.units = {"a", "b", "c"};
    tb::Voice noise;
    noise.kind = tb::VoiceKind::ptnoise;
    noise.noise_units = {tb::PtnUnit()};
    s.voices = {tb::sine_voice("s1"), tb::sine_voice("s2"), noise, tb::pcm_voice("p", {0, 9000, 0}, 22050, true)};
    s.delays = {tb::Delay{0, 1, 25.0f, 0.8f}};
    s.overdrives = {tb::Overdrive{2, 90.0f, 2.0f}};
    tb::add_note(s, 2, 4 * 1440, 100, tb::KEY_A4);  // in the fifth measure
    Outcome r = run({"--info", tune(s)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "name:     Night Ferry\n"
              "comment:  two lines\n"
              "          and ?[31mred\n"
              "tempo:    150 beats a minute\n"
              "beats:    3 a measure, 480 ticks each\n"
              "measures: 5\n"
              "length:   6.000 s once through\n"
              "repeat:   3.600 s a time, from 2.400 s\n"
              "units:    3\n"
              "voices:   4: 2 ptvoice, 1 ptnoise, 1 PCM\n"
              "effects:  delay, group 1: an echo every 1.25 beats (0.500 s) at 25 %\n"
              "          overdrive, group 2: cut 90 %, amp 2\n");

    s.name = "\x83\x65\x83\x58\x83\x67";  // a name in Shift JIS
    s.comment.clear();
    s.delays.clear();
    s.overdrives.clear();
    r = run({tune(s), "--info"});
    EXPECT_NE(r.out.find("name:     \xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("comment:  (none)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("effects:  none\n"), std::string::npos) << r.out;
}

TEST_F(Ptrender, FailuresExitOneAndLeaveNoFile) {
    std::vector<uint8_t> bytes = tb::build(two_measure_song());
    bytes.resize(bytes.size() / 2);
    std::ofstream(dir + "cut.ptcop", std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                              long(bytes.size()));
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"--info", dir + "cut.ptcop"}, {dir + "cut.ptcop", dir + "cut.wav"}}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("ptrender: damaged tune: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::ifstream(dir + "cut.wav").good());

    // 10000 times 2 s at 192000 Hz is past what a WAV can hold.
    Outcome r = run({"--loops", "10000", "--rate", "192000", tune(two_measure_song()), dir + "long.wav"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("too long"), std::string::npos) << r.err;
    EXPECT_FALSE(std::ifstream(dir + "long.wav").good());
}

TEST_F(Ptrender, BadArgumentsExitTwoWithAReason) {
    const std::string song = tune(two_measure_song()), out = dir + "out.wav";
    const std::vector<std::vector<std::string>> cases = {
        {},
        {song},
        {song, out, "extra"},
        {song, dir + "out.mp3"},
        {"--info", song, out},
        {"--loops", "0", song, out},
        {"--loops", "2x", song, out},
        {"--loops=10001", song, out},
        {"--fade", "-1", song, out},
        {"--fade", "nan", song, out},
        {"--rate", "7999", song, out},
        {"--rate", " 44100", song, out},
        {song, out, "--rate"},
        {"--volume", "3", song, out},
        {"-o", dir},
        {"-o", dir, "--info", song},
        {"--format", "flac", song, out},
        {"-o", dir, "--format", "mp3", song},
    };
    for (const auto &args : cases) {
        Outcome r = run(args);
        std::string shown;
        for (const std::string &a : args) shown += " " + a;
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_EQ(r.err.rfind("ptrender: ", 0), 0u) << shown;
        EXPECT_NE(r.err.find("Try 'ptrender --help'."), std::string::npos) << shown;
        EXPECT_FALSE(std::ifstream(out).good()) << shown;
    }
    Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: ptrender", 0), 0u);
}

TEST_F(Ptrender, ManyTunesIntoAFolderEachAsItsOwnRenderAndTheFailuresTold) {
    std::filesystem::create_directories(dir + "other");
    tb::Song higher = two_measure_song();
    higher.voices[0].layers[0].basic_key -= 1200;
    const std::string a = tune(two_measure_song(), "a.ptcop"), a_again = tune(higher, "other/a.ptcop"),
                      a_tune = tune(two_measure_song(), "a.pttune"), b = tune(higher, "b.ptcop");
    std::ofstream(dir + "broken.ptcop") << "PTCOLLAGE-071119 and then nothing";
    struct Case {
        std::vector<std::string> format, options;
        std::string ext;
    };
    for (const Case &c : {Case{{}, {}, ".wav"}, Case{{"--format", "flac"}, {"--loops", "2"}, ".flac"}}) {
        SCOPED_TRACE(c.ext);
        const std::string out = dir + "out" + c.ext + "/";
        std::vector<std::string> args = c.options;
        args.insert(args.end(), c.format.begin(), c.format.end());
        for (const std::string &arg : {std::string("-o"), out, a, a_again, dir + "broken.ptcop", a_tune, b})
            args.push_back(arg);
        Outcome r = run(args);
        EXPECT_EQ(r.status, 1) << "one tune failed";
        EXPECT_NE(r.err.find("ptrender: " + dir + "broken.ptcop: damaged tune: broken.ptcop\n"), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("ptrender: 4 of 5 tunes rendered into " + out + ", 1 failed\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("[1/5]"), std::string::npos) << "no progress lines when stderr is no terminal";
        // Each file as the one-tune form renders that tune; a name met
        // again gets -2, -3.
        const std::pair<std::string, std::string> made[] = {{"a", a}, {"a-2", a_again}, {"a-3", a_tune}, {"b", b}};
        for (const auto &[name, from] : made)
            EXPECT_EQ(decode(out + name + c.ext), render(from, "one" + c.ext, c.options)) << name;
        EXPECT_FALSE(std::filesystem::exists(out + "broken" + c.ext));
    }
    // On a terminal (script(1) gives it one), a line for each tune as it starts.
    if (std::system("command -v script > /dev/null") != 0) GTEST_SKIP() << "no script(1) to give a terminal";
    const std::string cmd = shell_word(PTRENDER) + " -o " + shell_word(dir + "tty") + " " + shell_word(a) + " " +
                            shell_word(b);
    ASSERT_EQ(std::system(("script -qec " + shell_word(cmd) + " /dev/null > " + shell_word(dir + "tty.log")).c_str()), 0);
    const std::string shown = slurp(dir + "tty.log");
    EXPECT_NE(shown.find("ptrender: [1/2] " + a), std::string::npos) << shown;
    EXPECT_NE(shown.find("ptrender: [2/2] " + b), std::string::npos) << shown;
}
