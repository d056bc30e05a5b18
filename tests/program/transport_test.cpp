// The transport actions and the end-of-tune advance, through the real tune
// player and engine. Most cases use files the engine cannot load: such a
// tune never streams, so it counts as ended the moment the transport is
// armed, which pins the advance to exact frames.
#include <cmath>
#include <limits>
#include <string>

#include "app/player_state.h"
#include "playback/advance_tune.h"
#include "playback/transport.h"
#include "playback/tune_player.h"
#include "program_test_support.h"
#include "pxtone/pxtone.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"

namespace {

class transport : public program_test {};

TEST_F(transport, nothing_plays_until_the_user_acts)
{
    list_unplayable_tunes(3);
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.previous_tune, 1);
    EXPECT_EQ(player_state.top_row, 1);
    EXPECT_EQ(player_state.transport_countdown, 0);
    run_frames(30);
    EXPECT_EQ(player_state.current_tune, 1);
}

TEST_F(transport, pick_settles_for_nine_frames_then_advances)
{
    list_unplayable_tunes(5);
    pick_tune(3);
    EXPECT_EQ(player_state.previous_tune, 1);
    EXPECT_EQ(player_state.current_tune, 3);
    EXPECT_EQ(selected_slot(), 2);
    EXPECT_EQ(player_state.resume_position, 0);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES);
    // The frame of the pick is the first of the run below.
    run_frames(9);
    EXPECT_EQ(player_state.current_tune, 3);
    EXPECT_EQ(player_state.transport_countdown, 1);
    run_frames(1);  // ninth frame after the pick
    EXPECT_EQ(player_state.current_tune, 4);
    EXPECT_EQ(player_state.previous_tune, 3);
    EXPECT_EQ(player_state.transport_countdown, 1);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 5);
}

TEST_F(transport, advance_wraps_from_the_last_tune_to_the_first)
{
    list_unplayable_tunes(5);
    player_state.current_tune = 5;
    player_state.transport_countdown = 1;
    player_state.resume_position = 77;
    advance_tune();
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.previous_tune, 5);
    EXPECT_EQ(selected_slot(), 0);
    EXPECT_EQ(player_state.resume_position, 77);
}

TEST_F(transport, advance_brings_the_new_tune_into_view)
{
    list_unplayable_tunes(40);
    player_state.current_tune = 22;
    player_state.top_row = 10;
    player_state.transport_countdown = 1;
    advance_tune();
    EXPECT_EQ(player_state.current_tune, 23);
    EXPECT_EQ(player_state.top_row, 14);
    player_state.current_tune = 40;
    player_state.top_row = 31;
    advance_tune();
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.top_row, 1);
}

TEST_F(transport, shuffle_never_repeats_the_ended_tune_of_two_or_more)
{
    list_unplayable_tunes(2);
    player_state.button_lit[BUTTON_SHUFFLE] = 1;
    player_state.transport_countdown = 1;
    for (int i = 0; i < 200; i++) {
        int32_t ended = player_state.current_tune;
        advance_tune();
        ASSERT_NE(player_state.current_tune, ended);
        ASSERT_GE(player_state.current_tune, 1);
        ASSERT_LE(player_state.current_tune, 2);
    }
    list_unplayable_tunes(7);
    bool seen[8] = {};
    for (int i = 0; i < 500; i++) {
        int32_t ended = player_state.current_tune;
        advance_tune();
        ASSERT_NE(player_state.current_tune, ended);
        seen[player_state.current_tune] = true;
    }
    for (int n = 1; n <= 7; n++)
        EXPECT_TRUE(seen[n]) << n;
}

TEST_F(transport, shuffle_with_one_tune_starts_it_again)
{
    list_unplayable_tunes(1);
    player_state.button_lit[BUTTON_SHUFFLE] = 1;
    player_state.transport_countdown = 1;
    advance_tune();
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.previous_tune, 1);
}

TEST_F(transport, loop_mode_and_stop_and_an_empty_list_suppress_the_advance)
{
    list_unplayable_tunes(3);
    player_state.transport_countdown = 1;
    player_state.button_lit[BUTTON_LOOP] = 1;
    run_frames(20);
    EXPECT_EQ(player_state.current_tune, 1);

    player_state.button_lit[BUTTON_LOOP] = 0;
    stop_play();
    EXPECT_EQ(player_state.transport_countdown, 0);
    run_frames(20);
    EXPECT_EQ(player_state.current_tune, 1);

    player_state.tune_count = 0;
    player_state.transport_countdown = 1;
    run_frames(5);
    EXPECT_EQ(player_state.current_tune, 1);
}

TEST_F(transport, back_swaps_between_the_same_two_tunes)
{
    list_unplayable_tunes(30);
    pick_tune(25);
    player_state.top_row = 20;
    go_back();
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.previous_tune, 25);
    EXPECT_EQ(selected_slot(), 0);
    EXPECT_EQ(player_state.top_row, 1);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES);
    go_back();
    EXPECT_EQ(player_state.current_tune, 25);
    EXPECT_EQ(player_state.previous_tune, 1);
    EXPECT_EQ(player_state.top_row, 16);
}

TEST_F(transport, back_at_start_up_starts_tune_one_from_its_beginning)
{
    list_unplayable_tunes(3);
    player_state.resume_position = 500;
    go_back();
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.previous_tune, 1);
    EXPECT_EQ(player_state.resume_position, 0);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES);
}

TEST_F(transport, back_after_a_smaller_rescan_loads_an_empty_slot_without_harm)
{
    list_unplayable_tunes(8);
    pick_tune(8);
    clear_tune_list();
    scan_folder();  // the folder itself is empty
    go_back();
    go_back();
    EXPECT_EQ(player_state.current_tune, 8);
    EXPECT_EQ(selected_slot(), 7);
    EXPECT_FALSE(is_streaming());
    run_frames(12);  // an empty list never advances
    EXPECT_EQ(player_state.current_tune, 8);
}

TEST_F(transport, restart_arms_at_once_and_keeps_the_resume_position)
{
    list_unplayable_tunes(4);
    player_state.resume_position = 1234;
    restart_play();
    EXPECT_EQ(player_state.transport_countdown, 1);
    EXPECT_EQ(player_state.resume_position, 1234);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 2);
}

TEST_F(transport, resume_reselects_the_current_tune_and_settles)
{
    list_unplayable_tunes(4);
    player_state.current_tune = 3;
    player_state.resume_position = 99;
    resume_play();
    EXPECT_EQ(selected_slot(), 2);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES);
    EXPECT_EQ(player_state.resume_position, 99);
}

TEST(bar_width, follows_the_fraction_truncated)
{
    EXPECT_EQ(bar_width_for(0.5f), 120);
    EXPECT_EQ(bar_width_for(1.0f), 240);
    EXPECT_EQ(bar_width_for(0.0f), 0);
    EXPECT_EQ(bar_width_for(0.999f), 239);
    EXPECT_EQ(bar_width_for(-0.5f), -120);
    EXPECT_EQ(bar_width_for(2.0f), 480);  // not clamped
}

TEST(bar_width, odd_fractions_never_reach_an_undefined_conversion)
{
    EXPECT_EQ(bar_width_for(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(bar_width_for(std::numeric_limits<float>::infinity()), INT32_MAX);
    EXPECT_EQ(bar_width_for(-std::numeric_limits<float>::infinity()), INT32_MIN);
    EXPECT_EQ(bar_width_for(1e30f), INT32_MAX);
    EXPECT_EQ(bar_width_for(8947848.0f), 2147483520);  // 240 x that fits exactly
}

TEST_F(transport, advance_sets_the_bar_from_the_play_fraction)
{
    play_fraction = 0.5f;
    advance_tune();
    EXPECT_EQ(player_state.bar_width, 120);
    play_fraction = std::numeric_limits<float>::quiet_NaN();
    advance_tune();
    EXPECT_EQ(player_state.bar_width, 0);
}

TEST(tune_length, is_the_wrapped_32_bit_product)
{
    EXPECT_EQ(tune_length_from(4, 480, 10), 19200);
    EXPECT_EQ(tune_length_from(0, 480, 10), 0);
    EXPECT_EQ(tune_length_from(65536, 65536, 1), 0);
    EXPECT_EQ(tune_length_from(INT32_MAX, 2, 1), -2);
    EXPECT_EQ(tune_length_from(-3, 480, 2), -2880);
}

TEST_F(transport, callback_gives_zero_whenever_nothing_streams)
{
    play_fraction = 0.7f;
    tune_length = 100;
    EXPECT_EQ(play_callback(50), 0);
    EXPECT_EQ(play_fraction_now(), 0.0f);
}

// From here on the engine must really play.
class transport_with_sound : public transport {
protected:
    void SetUp() override
    {
        transport::SetUp();
        if (!engine_streams())
            GTEST_SKIP() << "the engine does not stream tunes yet: " << last_error_text();
    }
};

TEST_F(transport_with_sound, callback_divides_by_the_length_and_guards_zero)
{
    ASSERT_TRUE(write_test_tune("a.ptcop", 5.0));
    add_tune("a.ptcop", 0);
    player_state.tune_count = 1;
    pick_tune(1);
    ASSERT_TRUE(is_streaming());
    tune_length = 200;
    EXPECT_EQ(play_callback(100), 100);
    EXPECT_FLOAT_EQ(play_fraction_now(), 0.5f);
    tune_length = 0;
    EXPECT_EQ(play_callback(100), 100);
    EXPECT_EQ(play_fraction_now(), 0.0f);
    tune_length = -7;
    play_callback(100);
    EXPECT_EQ(play_fraction_now(), 0.0f);
    stop_play();
}

TEST_F(transport_with_sound, a_started_tune_reports_its_length_in_ticks)
{
    ASSERT_TRUE(write_test_tune("a.ptcop", 2.0));
    add_tune("a.ptcop", 0);
    player_state.tune_count = 1;
    pick_tune(1);
    EXPECT_EQ(tune_length, 480 * 4 * 1);  // beat_clock x beat_num x one measure
    stop_play();
}

TEST_F(transport_with_sound, a_tune_that_ends_is_followed_by_the_next)
{
    ASSERT_TRUE(write_test_tune("a.ptcop", 1.0));
    ASSERT_TRUE(write_test_tune("b.pttune", 1.0, true));
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 2);
    pick_tune(2);
    int32_t widest = 0;
    bool advanced = run_frames_until(
        [&] {
            widest = std::max(widest, player_state.bar_width);
            return player_state.current_tune == 1;
        },
        5.0);
    EXPECT_TRUE(advanced);
    EXPECT_EQ(player_state.previous_tune, 2);
    EXPECT_GT(widest, 60) << "the bar grows while the tune plays";
    EXPECT_LE(widest, 250);
    EXPECT_TRUE(is_streaming());
    stop_play();
}

TEST_F(transport_with_sound, stop_and_resume_continue_where_the_sound_was)
{
    ASSERT_TRUE(write_test_tune("long.ptcop", 10.0));
    scan_folder();
    pick_tune(1);  // current is 1 already: pick is still a plain start
    run_frames_until([] { return false; }, 0.6);
    stop_play();
    int32_t stopped_at = player_state.resume_position;
    EXPECT_GT(stopped_at, 22050 / 4);
    EXPECT_FALSE(is_streaming());
    run_frames(15);
    EXPECT_EQ(player_state.current_tune, 1) << "a stopped tune is not followed";
    resume_play();
    EXPECT_TRUE(is_streaming());
    EXPECT_EQ(player_state.resume_position, stopped_at);
    run_frames_until([] { return false; }, 0.3);
    stop_play();
    EXPECT_GT(player_state.resume_position, stopped_at);
}

TEST_F(transport_with_sound, loop_mode_keeps_the_tune_playing_past_its_end)
{
    ASSERT_TRUE(write_test_tune("a.ptcop", 0.5));
    ASSERT_TRUE(write_test_tune("b.ptcop", 0.5));
    scan_folder();
    player_state.button_lit[BUTTON_LOOP] = 1;
    pick_tune(2);
    run_frames_until([] { return false; }, 2.0);
    EXPECT_EQ(player_state.current_tune, 2);
    EXPECT_TRUE(is_streaming());
    stop_play();
}

}  // namespace
