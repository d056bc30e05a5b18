#include <array>

#include "skin_encoders.h"

namespace skin {

static uint32_t crc32_of(const uint8_t *p, size_t n, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < n; i++) crc = table[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

static void put_be32(std::vector<uint8_t> &out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

static void put_chunk(std::vector<uint8_t> &out, const char type[4], const std::vector<uint8_t> &data) {
    put_be32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_be32(out, crc32_of(out.data() + start, out.size() - start));
}

// zlib wrapper around stored deflate blocks (at most 65535 bytes each).
static std::vector<uint8_t> zlib_stored(const std::vector<uint8_t> &raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        put_le16(z, uint32_t(n));
        put_le16(z, uint32_t(~n & 0xffff));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put_be32(z, (b << 16) | a);
    return z;
}

std::vector<uint8_t> encode_png(const Canvas &c) {
    std::vector<uint8_t> raw;
    raw.reserve(size_t(c.h) * (1 + size_t(c.w) * 4));
    for (int y = 0; y < c.h; y++) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < c.w; x++) {
            Rgb p = c.get(x, y);
            bool clear = p == MASK;
            raw.push_back(clear ? 0 : p.r);
            raw.push_back(clear ? 0 : p.g);
            raw.push_back(clear ? 0 : p.b);
            raw.push_back(clear ? 0 : 255);
        }
    }
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> ihdr;
    put_be32(ihdr, uint32_t(c.w));
    put_be32(ihdr, uint32_t(c.h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    put_chunk(out, "IHDR", ihdr);
    put_chunk(out, "IDAT", zlib_stored(raw));
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace skin
