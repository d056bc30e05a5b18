#include "app/window_handle.h"

void *program_window_handle()
{
    return nullptr;
}
