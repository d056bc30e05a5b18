#include "playback/transport.h"

#include "app/player_state.h"
#include "playback/tune_player.h"
#include "tunes/tune_list.h"

void pick_tune(int32_t n)
{
    player_state.previous_tune = player_state.current_tune;
    player_state.current_tune = n;
    select_slot(n - 1);
    load_and_start(0);
    player_state.resume_position = 0;
    player_state.transport_countdown = SETTLE_FRAMES;
}

void go_back()
{
    int32_t c = player_state.previous_tune;
    select_slot(c - 1);
    load_and_start(0);
    player_state.resume_position = 0;
    player_state.previous_tune = player_state.current_tune;
    player_state.current_tune = c;
    player_state.transport_countdown = SETTLE_FRAMES;
    bring_into_view(player_state.current_tune);
}

void stop_play()
{
    player_state.transport_countdown = 0;
    player_state.resume_position = stop_tune();
}

void resume_play()
{
    player_state.transport_countdown = SETTLE_FRAMES;
    select_slot(player_state.current_tune - 1);
    load_and_start(player_state.resume_position);
}

void restart_play()
{
    player_state.transport_countdown = 1;
    load_and_start(0);
}

void bring_into_view(int32_t n)
{
    if (player_state.top_row > n)
        player_state.top_row = n;
    if (player_state.top_row + (VISIBLE_ROWS - 1) < n)
        player_state.top_row = n - (VISIBLE_ROWS - 1);
}
