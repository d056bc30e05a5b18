/* Brindlewick: a small jukebox for pxtone tunes in the current folder. */
#include <allegro.h>

#include <thread>

#include "app/frame_loop.h"
#include "app/start_up.h"

int main()
{
    if (!start_up())
        return 1;
    std::thread worker(run_frame_loop);
    worker.join();
    shut_down();
    return 0;
}
END_OF_MAIN()
