#include "skin_encoders.h"

namespace skin {

void put_le16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put_le32(std::vector<uint8_t> &out, uint32_t v) {
    put_le16(out, v & 0xffff);
    put_le16(out, v >> 16);
}

std::vector<uint8_t> encode_bmp24(const Canvas &c) {
    const uint32_t row_bytes = (uint32_t(c.w) * 3 + 3) & ~3u;
    const uint32_t pixel_bytes = row_bytes * uint32_t(c.h);
    const uint32_t offset = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(offset + pixel_bytes);
    out.push_back('B');
    out.push_back('M');
    put_le32(out, offset + pixel_bytes);
    put_le32(out, 0);
    put_le32(out, offset);
    put_le32(out, 40);
    put_le32(out, uint32_t(c.w));
    put_le32(out, uint32_t(c.h));  // positive height: bottom-up rows
    put_le16(out, 1);              // planes
    put_le16(out, 24);             // bits per pixel
    put_le32(out, 0);              // no compression
    put_le32(out, pixel_bytes);
    put_le32(out, 2835);  // 72 dpi
    put_le32(out, 2835);
    put_le32(out, 0);
    put_le32(out, 0);
    for (int y = c.h - 1; y >= 0; y--) {
        for (int x = 0; x < c.w; x++) {
            Rgb p = c.get(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (uint32_t pad = uint32_t(c.w) * 3; pad < row_bytes; pad++) out.push_back(0);
    }
    return out;
}

}  // namespace skin
