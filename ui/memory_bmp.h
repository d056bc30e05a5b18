/* memory_bmp.h - loads a BMP held in memory, as load_bitmap loads a file.
 *
 * Returns a new bitmap converted to the current colour depth (as set with
 * set_color_depth), or NULL when the bytes are not a BMP the loader reads
 * or fail bmp_header_problem. Reads only data[0 .. size - 1]. The caller
 * destroys the bitmap. Call from the thread that owns the graphics setup.
 */
#ifndef UI_MEMORY_BMP_H
#define UI_MEMORY_BMP_H

#include <allegro.h>

#include <cstddef>

BITMAP *load_bmp_from_memory(const unsigned char *data, size_t size);

#endif
