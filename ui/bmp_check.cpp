#include "ui/bmp_check.h"

#include <cstdint>

static uint32_t read_u16(const unsigned char *p)
{
    return p[0] | (p[1] << 8);
}

static uint32_t read_u32(const unsigned char *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct bmp_shape {
    long width, height, bits, compression;
};

/* Reads the shape from a Windows 3.x (40-byte) or OS/2 (12-byte) info
 * header; returns a reason when it is neither. */
static const char *read_shape(const unsigned char *head, size_t head_size, bmp_shape &shape)
{
    if (head_size < 26)
        return "is too short to be a BMP file";
    uint32_t info_size = read_u32(head + 14);
    if (info_size == 12) {
        shape = {static_cast<long>(read_u16(head + 18)), static_cast<long>(read_u16(head + 20)),
                 static_cast<long>(read_u16(head + 24)), 0};
        return nullptr;
    }
    if (info_size != 40)
        return "is a BMP variant this program cannot read (save it as BMP3)";
    if (head_size < BMP_HEAD_BYTES)
        return "is too short to be a BMP file";
    shape = {static_cast<long>(static_cast<int32_t>(read_u32(head + 18))),
             static_cast<long>(static_cast<int32_t>(read_u32(head + 22))),
             static_cast<long>(read_u16(head + 28)), static_cast<long>(read_u32(head + 30))};
    return nullptr;
}

const char *bmp_header_problem(const unsigned char *head, size_t head_size, long file_size)
{
    if (head_size < 2 || head[0] != 'B' || head[1] != 'M')
        return "is not a BMP file";
    bmp_shape shape;
    if (const char *problem = read_shape(head, head_size, shape))
        return problem;
    if (shape.width < 1 || shape.height < 1 || shape.width > BMP_MAX_SIDE ||
        shape.height > BMP_MAX_SIDE)
        return "has a width or height this program does not accept";
    if (shape.bits != 1 && shape.bits != 4 && shape.bits != 8 && shape.bits != 16 &&
        shape.bits != 24 && shape.bits != 32)
        return "has a pixel depth this program cannot read";
    /* Run-length data (1, 2) is refused too: the image loader writes runs
     * longer than a row past the row's end, corrupting memory. */
    if (shape.compression != 0 && shape.compression != 3)
        return "is compressed in a way this program cannot read";
    long offset = static_cast<long>(read_u32(head + 10));
    if (offset < 14 || offset > file_size)
        return "is damaged (its pixel data lies outside the file)";
    long row_bytes = (shape.width * shape.bits + 31) / 32 * 4;
    if (file_size - offset < row_bytes * shape.height)
        return "is truncated";
    return nullptr;
}
