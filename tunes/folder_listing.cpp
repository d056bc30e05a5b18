#include "tunes/folder_listing.h"

#include <dirent.h>

static DIR *folder = nullptr;

bool open_folder_listing()
{
    folder = opendir(".");
    return folder != nullptr;
}

const char *next_folder_entry()
{
    const dirent *entry = readdir(folder);
    return entry ? entry->d_name : nullptr;
}

void close_folder_listing()
{
    closedir(folder);
    folder = nullptr;
}
