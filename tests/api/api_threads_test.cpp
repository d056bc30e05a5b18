// Instances share nothing: two on two threads at once, each loading,
// seeking and rendering its own tune, give exactly what each gives alone.
// (CI runs the suites named Threads* under ThreadSanitizer.)
#include <thread>

#include "api_songs.h"

namespace {

struct Job {
    std::vector<uint8_t> bytes;
    int rate, channels, loops;
    double fade;
    int64_t seek_to;
};

// Renders to the end, seeks back and renders on again.
std::vector<int16_t> run(const Job &j) {
    Tune t(bw_new(j.rate, j.channels));
    bw_load_memory(t.get(), j.bytes.data(), j.bytes.size(), "job");
    bw_set_loops(t.get(), j.loops);
    bw_set_fade(t.get(), j.fade);
    std::vector<int16_t> out = render_on(t.get(), j.channels, INT64_MAX, 777);
    bw_seek(t.get(), j.seek_to);
    const std::vector<int16_t> again = render_on(t.get(), j.channels);
    out.insert(out.end(), again.begin(), again.end());
    return out;
}

}  // namespace

TEST(ThreadsApi, TwoInstancesOnTwoThreadsGiveWhatEachGivesAlone) {
    tune_builder::Song other = looping_song();
    other.tempo = 200.0f;
    other.voices[0].layers[0].overtones = {{1, 100}, {3, 60}};
    const Job jobs[2] = {{tune_builder::build(looping_song()), 22050, 2, 3, 0.0, 50000},
                         {tune_builder::build(other), 16000, 1, 2, 1.0, 30000}};
    const std::vector<int16_t> alone[2] = {run(jobs[0]), run(jobs[1])};
    ASSERT_GT(alone[0].size(), 100000u);
    for (int round = 0; round < 3; round++) {
        std::vector<int16_t> together[2];
        std::thread a([&] { together[0] = run(jobs[0]); });
        std::thread b([&] { together[1] = run(jobs[1]); });
        a.join();
        b.join();
        EXPECT_EQ(together[0], alone[0]) << "round " << round;
        EXPECT_EQ(together[1], alone[1]) << "round " << round;
    }
}
