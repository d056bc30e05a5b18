#include "app/worker_thread.h"

#include <thread>

void run_on_worker(int (*body)())
{
    std::thread worker(body);
    worker.join();
}
