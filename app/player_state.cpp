#include "app/player_state.h"

player_state_record player_state;
