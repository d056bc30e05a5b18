/* bmp_check.h - looks at a BMP file's header before the image loader does.
 *
 * bmp_header_problem(head, head_size, file_size) examines the first bytes of
 * a file (54 are enough) and the file's whole size. It returns NULL when the
 * file looks like a BMP the image loader reads (Windows 3.x or OS/2 header,
 * sane dimensions, not run-length encoded, pixel data all present), else a short reason such as
 * "is not a BMP file". It only reads head[0 .. head_size - 1].
 */
#ifndef UI_BMP_CHECK_H
#define UI_BMP_CHECK_H

#include <cstddef>

constexpr size_t BMP_HEAD_BYTES = 54;
constexpr long BMP_MAX_SIDE = 4096;

const char *bmp_header_problem(const unsigned char *head, size_t head_size, long file_size);

#endif
