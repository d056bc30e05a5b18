#include "app/start_up.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/end_requests.h"
#include "app/handlers.h"
#include "playback/tune_player.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"
#include "ui/skin.h"

constexpr int FRAMES_PER_SECOND = 30;

static void say_no_display(const char *what)
{
    const char *display = std::getenv("DISPLAY");
    std::fprintf(stderr, "brindlewick: %s (DISPLAY is %s%s%s)%s%s\n", what,
                 display ? "\"" : "not set", display ? display : "", display ? "\"" : "",
                 allegro_error[0] ? ": " : "", allegro_error);
}

static bool open_window()
{
    set_color_depth(32);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, WINDOW_W, WINDOW_H, 0, 0) == 0)
        return true;
    set_color_depth(16);
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, WINDOW_W, WINDOW_H, 0, 0) == 0;
}

bool start_up()
{
    if (allegro_init() != 0) {
        say_no_display("cannot start the graphics system");
        return false;
    }
    set_close_button_callback(close_handler);
    install_keyboard();
    install_mouse();
    if (!open_window()) {
        say_no_display("cannot open a window");
        return false;
    }
    set_display_switch_mode(SWITCH_BACKGROUND);
    install_int_ex(tick_handler, BPS_TO_TIMER(FRAMES_PER_SECOND));
    load_skin();
    player_ready();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    clear_tune_list();
    scan_folder();
    catch_end_requests();
    return true;
}

void shut_down()
{
    player_shutdown();
    release_skin();
    end_as_requested();
}
