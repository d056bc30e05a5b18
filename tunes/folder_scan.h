/* folder_scan.h - fills the tune list from the current folder.
 *
 * scan_folder() lists every entry whose name ends in ".ptcop", then every one
 * ending in ".pttune", letters in any case ("SONG.PTCOP", "Tune.PtTune"),
 * each group in the order the directory yields them (unsorted; any kind of
 * entry, so a folder named like a tune is listed too). Names are kept as the
 * bytes the folder holds, whatever their encoding, so each opens its file
 * (on Windows, as UTF-8: see folder_listing.h).
 * A name too long for a slot (NAME_SLOT_BYTES or more) is left out, and the
 * first such name is kept in scan_report; matches past TUNE_CAPACITY are
 * dropped. It sets player_state.top_row to 1, tune_count to the number
 * listed and list_length to that number but at least 10. It does not clear
 * the list first: a rescan is clear_tune_list() then scan_folder().
 * Runs on the thread that owns the tune list. A folder that cannot be read
 * adds nothing.
 */
#ifndef TUNES_FOLDER_SCAN_H
#define TUNES_FOLDER_SCAN_H

#include <cstdint>

/* Every name a Linux folder can hold fits, with its NUL. */
constexpr int LONG_NAME_BYTES = 256;

struct scan_report_record {
    int32_t scans = 0;                    /* scans run so far */
    char long_name[LONG_NAME_BYTES] = {}; /* the last scan's first name too long, or "" */
};

extern scan_report_record scan_report;

void scan_folder();

#endif
