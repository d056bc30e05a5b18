#include "tunes/folder_scan.h"

#include <cstdio>
#include <cstring>

#include "app/player_state.h"
#include "tunes/folder_listing.h"
#include "tunes/tune_list.h"

/* The endings of tune files, in list order. */
static const char *const TUNE_ENDINGS[] = {".ptcop", ".pttune"};

scan_report_record scan_report;

static char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool ends_with_any_case(const char *name, const char *ending)
{
    size_t n = std::strlen(name), e = std::strlen(ending);
    if (n < e)
        return false;
    for (size_t k = 0; k < e; k++)
        if (lower(name[n - e + k]) != ending[k])
            return false;
    return true;
}

static void report_too_long(const char *name)
{
    if (scan_report.long_name[0] == '\0')
        std::snprintf(scan_report.long_name, sizeof scan_report.long_name, "%s", name);
}

/* Adds the folder's names with one ending from slot counter on; returns the
 * new count. */
static int scan_for(const char *ending, int counter)
{
    if (!open_folder_listing())
        return counter;
    while (counter < TUNE_CAPACITY) {
        const char *name = next_folder_entry();
        if (!name)
            break;
        if (!ends_with_any_case(name, ending))
            continue;
        if (add_tune(name, counter))
            counter++;
        else
            report_too_long(name);
    }
    close_folder_listing();
    return counter;
}

void scan_folder()
{
    player_state.top_row = 1;
    scan_report.long_name[0] = '\0';
    int counter = 0;
    for (const char *ending : TUNE_ENDINGS)
        counter = scan_for(ending, counter);
    scan_report.scans++;
    player_state.tune_count = counter;
    player_state.list_length = counter <= 9 ? 10 : counter;
}
