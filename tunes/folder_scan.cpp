#include "tunes/folder_scan.h"

#include <allegro.h>

#include "app/player_state.h"
#include "tunes/tune_list.h"

static const char *const TUNE_PATTERNS[] = {"*.ptcop", "*.pttune"};

/* Adds the matches of one pattern from slot counter on; returns the new
 * count. */
static int scan_pattern(const char *pattern, int counter)
{
    al_ffblk info = {};
    if (al_findfirst(pattern, &info, FA_ALL) == 0) {
        do {
            if (add_tune(info.name, counter))
                counter++;
        } while (counter < TUNE_CAPACITY && al_findnext(&info) == 0);
    }
    al_findclose(&info);
    return counter;
}

void scan_folder()
{
    player_state.top_row = 1;
    int counter = 0;
    for (const char *pattern : TUNE_PATTERNS)
        counter = scan_pattern(pattern, counter);
    player_state.tune_count = counter;
    player_state.list_length = counter <= 9 ? 10 : counter;
}
