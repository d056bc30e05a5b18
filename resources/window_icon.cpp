#include "resources/window_icon.h"

#include "resources/window_icon_xpm.inc"

// Allegro 4's X11 port reads this XPM when it creates its window. The
// library defines it but its headers do not declare it.
extern "C" void *allegro_icon;

namespace {
struct set_window_icon {
    set_window_icon() { allegro_icon = static_cast<void *>(brindlewick_icon_xpm); }
} set_window_icon_at_start;
}  // namespace
