#include "ui/key_bindings.h"

#include <allegro.h>

static const int KEY_BINDINGS[KEY_ACTION_COUNT] = {
    KEY_ESC,    /* KEY_FOR_EXIT */
    KEY_SPACE,  /* KEY_FOR_STOP_RESUME */
    KEY_UP,     /* KEY_FOR_SCROLL_UP */
    KEY_DOWN,   /* KEY_FOR_SCROLL_DOWN */
};

bool key_down(key_action action)
{
    return key[KEY_BINDINGS[action]] != 0;
}
