// Every control, driven through Allegro's own input globals and whole
// frames, as the frame loop runs them.
#include <string>

#include "app/player_state.h"
#include "playback/transport.h"
#include "playback/tune_player.h"
#include "program_test_support.h"
#include "pxtone/pxtone.h"
#include "tunes/tune_list.h"
#include "ui/controls.h"
#include "ui/hit_areas.h"

namespace {

class controls : public program_test {
protected:
    static void press_button(int k) { put_mouse(20, BUTTON_AREAS[k].y1 + 5, true); }
    static void press_row(int j) { put_mouse(150, row_area(j).y1 + 5, true); }
};

TEST_F(controls, a_held_momentary_button_acts_once_per_press)
{
    list_unplayable_tunes(5);
    player_state.button_lit[BUTTON_LOOP] = 1;  // no advance past the unplayable tunes
    pick_tune(4);
    press_button(BUTTON_BACK);
    run_frames(20);
    EXPECT_EQ(player_state.current_tune, 1);
    EXPECT_EQ(player_state.button_lit[BUTTON_BACK], 1);
    release_input();
    run_frames(1);
    EXPECT_EQ(player_state.button_lit[BUTTON_BACK], 0);
    press_button(BUTTON_BACK);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 4);
}

TEST_F(controls, leaving_the_area_while_held_and_coming_back_fires_again)
{
    list_unplayable_tunes(5);
    pick_tune(4);
    press_button(BUTTON_BACK);
    run_frames(1);
    put_mouse(100, 20, true);
    run_frames(1);
    press_button(BUTTON_BACK);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 4);
}

TEST_F(controls, space_plays_from_the_resume_position_then_stops)
{
    list_unplayable_tunes(3);
    key[KEY_SPACE] = 1;
    run_frames(1);
    EXPECT_EQ(player_state.space_hold, 1);
    EXPECT_EQ(player_state.transport_countdown, 0) << "a press acts in the following frame";
    run_frames(1);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES - 1);
    EXPECT_EQ(player_state.button_lit[BUTTON_PLAY], 1);
    EXPECT_EQ(player_state.button_lit[BUTTON_STOP], 0) << "stop does not take the same press";
    run_frames(20);  // held: nothing more
    EXPECT_EQ(player_state.space_hold, 11);
    EXPECT_NE(player_state.transport_countdown, 0);
    key[KEY_SPACE] = 0;
    run_frames(1);
    EXPECT_EQ(player_state.space_hold, 0);
    key[KEY_SPACE] = 1;
    run_frames(2);
    EXPECT_EQ(player_state.transport_countdown, 0);
    EXPECT_EQ(player_state.button_lit[BUTTON_STOP], 1);
}

TEST_F(controls, space_does_nothing_for_a_button_held_with_the_mouse)
{
    list_unplayable_tunes(3);
    press_button(BUTTON_STOP);
    run_frames(1);
    key[KEY_SPACE] = 1;
    run_frames(5);
    EXPECT_EQ(player_state.transport_countdown, 0) << "play still acts: its latch is free";
    release_input();
    press_button(BUTTON_PLAY);
    run_frames(1);
    int32_t countdown = player_state.transport_countdown;
    EXPECT_EQ(countdown, SETTLE_FRAMES - 1);
    key[KEY_SPACE] = 1;
    run_frames(3);
    EXPECT_EQ(player_state.transport_countdown, countdown - 3);
}

TEST_F(controls, stop_while_stopped_takes_the_engines_position_again)
{
    list_unplayable_tunes(2);
    player_state.resume_position = 1234;
    press_button(BUTTON_STOP);
    run_frames(1);
    EXPECT_EQ(player_state.resume_position, pxtone_Tune_Stop());
    EXPECT_EQ(player_state.transport_countdown, 0);
}

TEST_F(controls, toggles_flip_once_per_press)
{
    press_button(BUTTON_SHUFFLE);
    run_frames(10);
    EXPECT_EQ(player_state.button_lit[BUTTON_SHUFFLE], 1);
    release_input();
    run_frames(1);
    EXPECT_EQ(player_state.button_lit[BUTTON_SHUFFLE], 1);
    press_button(BUTTON_SHUFFLE);
    run_frames(1);
    EXPECT_EQ(player_state.button_lit[BUTTON_SHUFFLE], 0);

    press_button(BUTTON_LOOP);
    run_frames(3);
    EXPECT_EQ(player_state.button_lit[BUTTON_LOOP], 1);
    EXPECT_EQ(player_state.loop_latch, 1);
    release_input();
    run_frames(1);
    EXPECT_EQ(player_state.loop_latch, 0);
}

TEST_F(controls, restart_and_rescan_buttons)
{
    list_unplayable_tunes(3);
    folder_.touch("only.pttune");
    player_state.current_tune = 3;
    player_state.previous_tune = 2;
    player_state.top_row = 1;
    press_button(BUTTON_RESCAN);
    run_frames(1);
    EXPECT_EQ(player_state.tune_count, 1);
    EXPECT_STREQ(tune_name(0), "only.pttune");
    EXPECT_STREQ(tune_name(1), "");
    EXPECT_EQ(player_state.current_tune, 3) << "a rescan leaves the current tune";
    EXPECT_EQ(player_state.previous_tune, 2);
    release_input();
    run_frames(1);
    press_button(BUTTON_RESTART);
    run_frames(1);
    EXPECT_EQ(player_state.transport_countdown, 1);
}

TEST_F(controls, rows_pick_only_other_tunes_that_exist)
{
    list_unplayable_tunes(4);
    press_row(0);
    run_frames(1);
    EXPECT_EQ(player_state.transport_countdown, 0) << "tune 1 is current already";
    press_row(6);
    run_frames(1);
    EXPECT_EQ(player_state.transport_countdown, 0) << "tune 7 does not exist";
    press_row(2);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 3);
    EXPECT_EQ(player_state.previous_tune, 1);
    EXPECT_EQ(player_state.transport_countdown, SETTLE_FRAMES - 1);
    press_row(3);  // dragging on to the next row picks it too
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 4);
    EXPECT_EQ(player_state.previous_tune, 3);
}

TEST_F(controls, rows_stand_for_the_tunes_from_the_top_row)
{
    list_unplayable_tunes(30);
    player_state.top_row = 12;
    press_row(9);
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 21);
}

TEST_F(controls, a_held_arrow_steps_at_once_after_18_frames_then_every_second)
{
    list_unplayable_tunes(60);
    put_mouse(270, 210, true);  // down arrow
    int32_t tops[26];
    for (int f = 1; f <= 25; f++) {
        run_frames(1);
        tops[f] = player_state.top_row;
    }
    EXPECT_EQ(tops[1], 2);
    EXPECT_EQ(tops[18], 2);
    EXPECT_EQ(tops[19], 3);
    EXPECT_EQ(tops[20], 3);
    EXPECT_EQ(tops[21], 4);
    EXPECT_EQ(tops[23], 5);
    EXPECT_EQ(tops[25], 6);
    EXPECT_EQ(player_state.scroll_down_held, 1);
    release_input();
    run_frames(1);
    EXPECT_EQ(player_state.scroll_down_held, 0);
    EXPECT_EQ(player_state.scroll_down_delay, 0);
}

TEST_F(controls, keys_scroll_like_the_arrows_and_down_wins_over_up)
{
    list_unplayable_tunes(30);
    player_state.top_row = 5;
    key[KEY_UP] = 1;
    run_frames(1);
    EXPECT_EQ(player_state.top_row, 4);
    key[KEY_UP] = 0;
    run_frames(1);
    key[KEY_UP] = 1;
    key[KEY_DOWN] = 1;
    run_frames(1);
    EXPECT_EQ(player_state.top_row, 5);
    EXPECT_EQ(player_state.scroll_up_held, 1);
}

TEST_F(controls, scrolling_is_clamped_to_the_list)
{
    list_unplayable_tunes(10);
    key[KEY_DOWN] = 1;
    run_frames(40);
    EXPECT_EQ(player_state.top_row, 1) << "ten tunes never scroll";
    release_input();
    key[KEY_UP] = 1;
    run_frames(3);
    EXPECT_EQ(player_state.top_row, 1);
    EXPECT_EQ(player_state.scroll_up_held, 1);
    release_input();

    list_unplayable_tunes(12);
    key[KEY_DOWN] = 1;
    run_frames(40);
    EXPECT_EQ(player_state.top_row, 3);
    release_input();
    player_state.top_row = 50;  // re-clamped every frame
    run_frames(1);
    EXPECT_EQ(player_state.top_row, 3);
}

TEST_F(controls, exit_lights_on_hover_and_ends_on_press_or_esc)
{
    put_mouse(20, 210, false);
    EXPECT_TRUE(exit_control());
    EXPECT_EQ(player_state.button_lit[BUTTON_EXIT], 1);
    put_mouse(20, 210, true);
    EXPECT_FALSE(exit_control());
    release_input();
    EXPECT_TRUE(exit_control());
    EXPECT_EQ(player_state.button_lit[BUTTON_EXIT], 0);
    key[KEY_ESC] = 1;
    EXPECT_FALSE(exit_control());
}

TEST_F(controls, button_edges_and_gaps_are_not_hits)
{
    list_unplayable_tunes(3);
    pick_tune(3);
    const int misses[][2] = {
        {6, 85},   // back's leftmost pixel column
        {32, 85},  // right of the hit area
        {20, 78},  // back's top pixel row
        {20, 93},  // back's bottom pixel row
        {20, 95},  // the gap between back and stop
    };
    for (const auto &m : misses) {
        put_mouse(m[0], m[1], true);
        run_frames(1);
        EXPECT_EQ(player_state.current_tune, 3) << m[0] << "," << m[1];
        EXPECT_EQ(player_state.button_lit[BUTTON_BACK], 0);
    }
    put_mouse(7, 79, true);  // the hit area's own corner
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 1);
}

TEST_F(controls, right_button_does_not_press)
{
    list_unplayable_tunes(3);
    pick_tune(3);
    put_mouse(20, 85, false);
    mouse_b = 2;
    run_frames(1);
    EXPECT_EQ(player_state.current_tune, 3);
}

}  // namespace
