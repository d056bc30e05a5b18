#include "app/worker_thread.h"

#include <windows.h>

static DWORD WINAPI worker_entry(LPVOID body)
{
    return static_cast<DWORD>(reinterpret_cast<int (*)()>(body)());
}

void run_on_worker(int (*body)())
{
    HANDLE worker = CreateThread(nullptr, 0, worker_entry, reinterpret_cast<LPVOID>(body), 0,
                                 nullptr);
    if (!worker) {
        body();
        return;
    }
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
}
