/* folder_scan.h - fills the tune list from the current folder.
 *
 * scan_folder() lists every "*.ptcop" match, then every "*.pttune" match, in
 * the order the directory search yields them (unsorted, case-sensitive, any
 * attributes, so a folder named like a tune is listed too). Names that do
 * not fit a slot are skipped; matches past TUNE_CAPACITY are dropped.
 * It sets player_state.top_row to 1, tune_count to the number listed and
 * list_length to that number but at least 10. It does not clear the list
 * first: a rescan is clear_tune_list() then scan_folder().
 * Runs on the thread that owns the tune list. A failing search adds nothing.
 */
#ifndef TUNES_FOLDER_SCAN_H
#define TUNES_FOLDER_SCAN_H

void scan_folder();

#endif
