#include "app/window_handle.h"

#include <windows.h>

void *program_window_handle()
{
    return GetActiveWindow();
}
