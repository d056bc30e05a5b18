#include "playback/advance_tune.h"

#include <cmath>
#include <cstdlib>

#include "app/player_state.h"
#include "playback/transport.h"
#include "playback/tune_player.h"
#include "tunes/tune_list.h"

int32_t bar_width_for(float fraction)
{
    double width = static_cast<double>(fraction) * BAR_FULL_WIDTH;
    if (std::isnan(width))
        return 0;
    if (width >= 2147483647.0)
        return INT32_MAX;
    if (width <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(width);
}

static int32_t next_tune_number()
{
    int32_t count = player_state.tune_count;
    if (player_state.button_lit[BUTTON_SHUFFLE]) {
        int32_t n;
        do {
            n = std::rand() % count + 1;
        } while (n == player_state.current_tune && count > 1);
        return n;
    }
    int32_t n = player_state.current_tune + 1;
    return n > count ? 1 : n;
}

static bool tune_has_ended()
{
    return player_state.tune_count != 0 && !is_streaming() &&
           !player_state.button_lit[BUTTON_LOOP] && player_state.transport_countdown == 1;
}

void advance_tune()
{
    player_state.bar_width = bar_width_for(play_fraction_now());
    if (!tune_has_ended())
        return;
    int32_t n = next_tune_number();
    player_state.previous_tune = player_state.current_tune;
    player_state.current_tune = n;
    bring_into_view(n);
    select_slot(n - 1);
    load_and_start(0);
}
