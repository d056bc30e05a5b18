// Hostile folders through the real scan, the real transport and the real
// engine: whatever a folder holds, the list stays within its table, every
// entry that cannot play leaves a clear error text naming it, and the
// auto-advance moves on to the next one.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "app/player_state.h"
#include "playback/transport.h"
#include "playback/tune_player.h"
#include "program_test_support.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"

namespace fs = std::filesystem;

namespace {

class hostile_folder : public program_test {};

// What the engine said right after each tune's turn came, by file name.
struct tune_turn {
    bool streamed = false;
    std::string error;
};

void write_random_file(const std::string &name, size_t bytes, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<char> chunk(1 << 20);
    std::ofstream out(name, std::ios::binary);
    for (size_t done = 0; done < bytes; done += chunk.size()) {
        for (char &c : chunk)
            c = static_cast<char>(rng());
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), bytes - done)));
    }
}

// Starts tune 1 and lets the auto-advance walk the whole list until it has
// come back round to tune 1, noting each turn.
std::map<std::string, tune_turn> walk_the_list(double timeout_seconds)
{
    std::map<std::string, tune_turn> turns;
    auto note_turn = [&turns] {
        tune_turn &t = turns[tune_name(player_state.current_tune - 1)];
        t.streamed = t.streamed || is_streaming();
        t.error = last_error_text();
    };
    player_state.current_tune = 1;
    select_slot(0);
    restart_play();
    note_turn();
    int32_t last = player_state.current_tune;
    bool wrapped = run_frames_until(
        [&] {
            if (player_state.current_tune != last) {
                last = player_state.current_tune;
                if (last == 1)
                    return true;
                note_turn();
            }
            return false;
        },
        timeout_seconds);
    EXPECT_TRUE(wrapped) << "the auto-advance came back to tune 1";
    stop_play();
    return turns;
}

void expect_refused(const std::map<std::string, tune_turn> &turns, const std::string &name,
                    const std::string &error)
{
    auto it = turns.find(name);
    ASSERT_NE(it, turns.end()) << name << " had no turn";
    EXPECT_FALSE(it->second.streamed) << name;
    EXPECT_EQ(it->second.error, error) << name;
}

void expect_played(const std::map<std::string, tune_turn> &turns, const std::string &name)
{
    auto it = turns.find(name);
    ASSERT_NE(it, turns.end()) << name << " had no turn";
    EXPECT_TRUE(it->second.streamed) << name << ": " << it->second.error;
}

TEST_F(hostile_folder, odd_names_and_entries_are_listed_or_skipped_and_played_past)
{
    const std::string name63 = std::string(57, 'a') + ".ptcop";
    const std::string name64 = std::string(58, 'b') + ".ptcop";
    const std::string name200 = std::string(193, 'c') + ".pttune";
    const std::string not_utf8 = "\xff\xfe\xc3(.pttune";
    const std::string utf8 = "caf\xc3\xa9 \xe2\x99\xaa.ptcop";
    const std::string upper = "LOUD.PTCOP";
    for (const std::string &n :
         {name63, name64, name200, not_utf8, utf8, upper, std::string(" spaced  name .ptcop"),
          std::string(".hidden.ptcop"), std::string("..ptcop")})
        ASSERT_TRUE(write_test_tune(n, 0.2)) << n;
    folder_.touch("empty.ptcop");
    write_random_file("random.pttune", 4096, 1);
    fs::create_directory("album.ptcop");

    scan_folder();
    ASSERT_EQ(player_state.tune_count, 10) << "all but the 64- and 200-byte names";
    for (int k = 0; k < TUNE_CAPACITY; k++)
        ASSERT_LT(std::strlen(tune_name(k)), size_t(NAME_SLOT_BYTES));

    std::map<std::string, tune_turn> turns = walk_the_list(20.0);
    EXPECT_EQ(turns.size(), 10u);
    for (const std::string &n : {name63, not_utf8, utf8, upper, std::string(" spaced  name .ptcop"),
                                 std::string(".hidden.ptcop"), std::string("..ptcop")})
        expect_played(turns, n);
    expect_refused(turns, "empty.ptcop", "not a tune: empty.ptcop");
    expect_refused(turns, "random.pttune", "not a tune: random.pttune");
    expect_refused(turns, "album.ptcop", "not a tune: album.ptcop");
    EXPECT_EQ(turns.count(name64) + turns.count(name200), 0u);
}

TEST_F(hostile_folder, files_deleted_or_replaced_after_the_scan_are_played_past)
{
    for (const char *n : {"a.ptcop", "b.ptcop", "c.ptcop", "d.ptcop"})
        ASSERT_TRUE(write_test_tune(n, 0.2));
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 4);
    fs::remove("b.ptcop");
    write_random_file("c.ptcop", 3000, 2);
    fs::remove("d.ptcop");
    fs::create_directory("d.ptcop");
    std::map<std::string, tune_turn> turns = walk_the_list(10.0);
    expect_played(turns, "a.ptcop");
    expect_refused(turns, "b.ptcop", "cannot open: b.ptcop");
    expect_refused(turns, "c.ptcop", "not a tune: c.ptcop");
    expect_refused(turns, "d.ptcop", "not a tune: d.ptcop");
}

TEST_F(hostile_folder, a_file_that_cannot_be_read_is_played_past)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    ASSERT_TRUE(write_test_tune("locked.ptcop", 0.2));
    ASSERT_TRUE(write_test_tune("open.ptcop", 0.2));
    ASSERT_EQ(chmod("locked.ptcop", 0), 0);
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 2);
    std::map<std::string, tune_turn> turns = walk_the_list(10.0);
    expect_refused(turns, "locked.ptcop", "cannot open: locked.ptcop");
    expect_played(turns, "open.ptcop");
}

TEST_F(hostile_folder, two_thousand_files_fill_the_table_and_are_all_played_past)
{
    for (int k = 0; k < 2000; k++)
        folder_.touch("t" + std::to_string(k) + (k % 2 ? ".ptcop" : ".pttune"));
    scan_folder();
    ASSERT_EQ(player_state.tune_count, TUNE_CAPACITY);
    // None of them streams, so each frame once armed moves to the next one.
    restart_play();
    int turns = 0;
    for (int frame = 0; frame < TUNE_CAPACITY; frame++) {
        run_frames(1);
        std::string expected = "not a tune: " + std::string(tune_name(player_state.current_tune - 1));
        ASSERT_EQ(last_error_text(), expected.substr(0, 36)) << "frame " << frame;
        turns++;
    }
    EXPECT_EQ(turns, TUNE_CAPACITY);
    EXPECT_EQ(player_state.current_tune, 1) << "came round to the first tune";
    EXPECT_GE(player_state.top_row, 1);
    EXPECT_LE(player_state.top_row, TUNE_CAPACITY - VISIBLE_ROWS + 1);
}

// Peak resident memory (VmHWM) in KiB; -1 where /proc does not say.
long peak_rss()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// The same, after resetting the peak to the current resident size.
long reset_peak_rss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return peak_rss();
}

TEST_F(hostile_folder, a_hundred_megabyte_file_fails_fast_in_bounded_memory)
{
    constexpr size_t HUNDRED_MB = 100u << 20;
    write_random_file("huge.ptcop", HUNDRED_MB, 3);
    write_random_file("huge_coded.pttune", HUNDRED_MB, 4);
    {
        std::fstream head("huge_coded.pttune", std::ios::in | std::ios::out | std::ios::binary);
        head.write("PTTUNE--20071119", 16);
    }
    ASSERT_TRUE(write_test_tune("fine.ptcop", 0.2));
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 3);
    for (const char *name : {"huge.ptcop", "huge_coded.pttune"}) {
        for (int k = 0; k < player_state.tune_count; k++)
            if (std::string(tune_name(k)) == name)
                select_slot(k);
        long before = reset_peak_rss();
        auto start = std::chrono::steady_clock::now();
        load_and_start(0);
        double ms = std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now() - start).count();
        long growth_kib = peak_rss() - before;
        std::printf("%s: \"%s\" in %.1f ms, peak memory growth %ld KiB\n", name,
                    last_error_text(), ms, growth_kib);
        EXPECT_FALSE(is_streaming());
        EXPECT_NE(std::string(last_error_text()).find(name), std::string::npos);
        if (before > 0) {
            EXPECT_LT(growth_kib, 64L << 10) << name;
        }
    }
    std::map<std::string, tune_turn> turns = walk_the_list(10.0);
    expect_played(turns, "fine.ptcop");
    expect_refused(turns, "huge.ptcop", "not a tune: huge.ptcop");
    EXPECT_FALSE(turns["huge_coded.pttune"].streamed);
}

}  // namespace
