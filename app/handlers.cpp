#include "app/handlers.h"

#include "app/player_state.h"

void tick_handler()
{
    player_state.frame_ticks.fetch_add(1);
}

void close_handler()
{
    player_state.quit_requested = -1;
}

void end_request_handler(int signal_number)
{
    player_state.quit_requested = signal_number;
}
