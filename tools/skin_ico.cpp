#include "skin_encoders.h"

namespace skin {

// One icon image: a BITMAPINFOHEADER with doubled height (colour rows then
// the AND mask rows), 32-bit BGRA rows bottom-up, then a 1-bit mask with
// rows padded to 4 bytes (set bits are transparent).
static std::vector<uint8_t> icon_dib(const Canvas &c) {
    std::vector<uint8_t> out;
    const uint32_t mask_row = ((uint32_t(c.w) + 31) / 32) * 4;
    const uint32_t size = uint32_t(c.w) * uint32_t(c.h) * 4 + mask_row * uint32_t(c.h);
    put_le32(out, 40);
    put_le32(out, uint32_t(c.w));
    put_le32(out, uint32_t(c.h) * 2);
    put_le16(out, 1);
    put_le16(out, 32);
    put_le32(out, 0);
    put_le32(out, size);
    put_le32(out, 0);
    put_le32(out, 0);
    put_le32(out, 0);
    put_le32(out, 0);
    for (int y = c.h - 1; y >= 0; y--)
        for (int x = 0; x < c.w; x++) {
            Rgb p = c.get(x, y);
            bool clear = p == MASK;
            out.push_back(clear ? 0 : p.b);
            out.push_back(clear ? 0 : p.g);
            out.push_back(clear ? 0 : p.r);
            out.push_back(clear ? 0 : 255);
        }
    for (int y = c.h - 1; y >= 0; y--) {
        std::vector<uint8_t> row(mask_row, 0);
        for (int x = 0; x < c.w; x++)
            if (c.get(x, y) == MASK) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> encode_ico(const std::vector<Canvas> &images) {
    std::vector<uint8_t> out;
    put_le16(out, 0);
    put_le16(out, 1);  // icon (2 would be a cursor)
    put_le16(out, uint32_t(images.size()));
    std::vector<std::vector<uint8_t>> dibs;
    for (const Canvas &c : images) dibs.push_back(icon_dib(c));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); i++) {
        out.push_back(uint8_t(images[i].w & 0xff));  // 256 is stored as 0
        out.push_back(uint8_t(images[i].h & 0xff));
        out.push_back(0);  // no palette
        out.push_back(0);
        put_le16(out, 1);   // planes
        put_le16(out, 32);  // bits per pixel
        put_le32(out, uint32_t(dibs[i].size()));
        put_le32(out, offset);
        offset += uint32_t(dibs[i].size());
    }
    for (const auto &d : dibs) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace skin
