/* folder_listing.h - the names in the current folder, one at a time.
 *
 *   if (open_folder_listing()) {
 *       while (const char *name = next_folder_entry()) ...
 *       close_folder_listing();
 *   }
 *
 * Every entry is listed, of any kind, in the order the folder gives them.
 * A name is valid until the next call. On Linux names are
 * the bytes the folder holds; on Windows they are read through the
 * wide-character API and given as UTF-8 (a name that is not valid UTF-16
 * cannot be opened by any name, and is left out). One listing at a time,
 * on the thread that owns the tune list. A folder that cannot be read
 * gives false.
 */
#ifndef TUNES_FOLDER_LISTING_H
#define TUNES_FOLDER_LISTING_H

bool open_folder_listing();
const char *next_folder_entry();
void close_folder_listing();

#endif
