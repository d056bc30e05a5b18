/* Brindlewick: a small jukebox for pxtone tunes in the current folder. */
#include <allegro.h>

#include "app/frame_loop.h"
#include "app/start_up.h"
#include "app/worker_thread.h"

int main()
{
    if (!start_up())
        return 1;
    run_on_worker(run_frame_loop);
    shut_down();
    return 0;
}
END_OF_MAIN()
