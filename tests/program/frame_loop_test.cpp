// The worker's loop: when it runs frames, how many, and how it ends.
#include <chrono>
#include <thread>

#include "app/frame_loop.h"
#include "app/handlers.h"
#include "app/player_state.h"
#include "program_test_support.h"
#include "ui/skin.h"

namespace {

class frame_loop : public program_test {};

TEST_F(frame_loop, esc_held_at_start_ends_before_any_frame)
{
    player_state.frame_ticks = 3;
    key[KEY_ESC] = 1;
    EXPECT_EQ(run_frame_loop(), 0);
    EXPECT_EQ(player_state.frame_ticks, 3);
}

TEST_F(frame_loop, the_close_button_ends_it_with_frames_still_due)
{
    player_state.frame_ticks = 5;
    close_handler();
    EXPECT_EQ(player_state.quit_requested, -1);
    EXPECT_EQ(run_frame_loop(), 0);
    EXPECT_EQ(player_state.frame_ticks, 5);
}

TEST_F(frame_loop, pending_ticks_become_that_many_frames_and_no_more)
{
    player_state.transport_countdown = 10;  // counts the frames run
    clear_to_color(back_buffer, makecol(255, 0, 255));
    for (int i = 0; i < 5; i++)
        tick_handler();
    std::thread worker(run_frame_loop);
    while (player_state.frame_ticks > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // idle passes draw nothing
    player_state.quit_requested = -1;
    worker.join();
    EXPECT_EQ(player_state.frame_ticks, 0);
    EXPECT_EQ(player_state.transport_countdown, 5);
}

TEST_F(frame_loop, with_no_tick_pending_nothing_is_drawn)
{
    int marker = makecol(1, 2, 3);
    clear_to_color(back_buffer, marker);
    std::thread worker(run_frame_loop);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    player_state.quit_requested = -1;
    worker.join();
    EXPECT_EQ(getpixel(back_buffer, 0, 0), marker);
}

TEST_F(frame_loop, space_hold_counts_to_eleven_and_drops_on_release)
{
    key[KEY_SPACE] = 1;
    run_frames(1);
    EXPECT_EQ(player_state.space_hold, 1);
    run_frames(30);
    EXPECT_EQ(player_state.space_hold, 11);
    key[KEY_SPACE] = 0;
    run_frames(1);
    EXPECT_EQ(player_state.space_hold, 0);
}

}  // namespace
