#include "app/end_requests.h"

#include <allegro.h>
#include <signal.h>

#include "app/handlers.h"
#include "app/player_state.h"

/* After Allegro's own handlers, which would take the screen away while a
 * frame is being drawn. */
void catch_end_requests()
{
    struct sigaction sa = {};
    sa.sa_handler = end_request_handler;
    sa.sa_flags = SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    const int ending[] = {SIGTERM, SIGINT, SIGHUP};
    for (int s : ending)
        sigaction(s, &sa, nullptr);
}

void end_as_requested()
{
    const int32_t ended_by = player_state.quit_requested;
    if (ended_by > 0) {
        allegro_exit();
        signal(ended_by, SIG_DFL);
        raise(ended_by);
    }
}
