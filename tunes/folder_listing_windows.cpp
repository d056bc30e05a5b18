#include "tunes/folder_listing.h"

#include <windows.h>

/* A name of MAX_PATH UTF-16 units takes at most 3 bytes a unit in UTF-8. */
constexpr int UTF8_NAME_BYTES = MAX_PATH * 3 + 1;

static HANDLE search = INVALID_HANDLE_VALUE;
static WIN32_FIND_DATAW found;
static bool found_unread = false;
static char name_utf8[UTF8_NAME_BYTES];

bool open_folder_listing()
{
    search = FindFirstFileW(L"*", &found);
    found_unread = search != INVALID_HANDLE_VALUE;
    return found_unread;
}

const char *next_folder_entry()
{
    for (;;) {
        if (!found_unread && !FindNextFileW(search, &found))
            return nullptr;
        found_unread = false;
        if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, found.cFileName, -1, name_utf8,
                                sizeof name_utf8, nullptr, nullptr) > 0)
            return name_utf8;
    }
}

void close_folder_listing()
{
    FindClose(search);
    search = INVALID_HANDLE_VALUE;
}
