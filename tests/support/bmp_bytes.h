// BMP files built byte by byte, for the hostile skins the tests write and
// the skin fuzzer's seeds. Header only; `Bytes` is std::string or
// std::vector<unsigned char>. Values are written little-endian, as BMP
// stores them, and are not checked: a test may well want a lying header.
#pragma once

#include <cstdint>

namespace bmp_bytes {

template <class Bytes>
void put16(Bytes &b, uint32_t v)
{
    using byte = typename Bytes::value_type;
    b.push_back(static_cast<byte>(v & 0xff));
    b.push_back(static_cast<byte>(v >> 8 & 0xff));
}

template <class Bytes>
void put32(Bytes &b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A Windows 3.x BMP: 14-byte file header, 40-byte info header, a grey
// palette for depths up to 8, then `pixels` as given.
template <class Bytes>
Bytes bmp(int32_t w, int32_t h, int bits, int compression, const Bytes &pixels)
{
    uint32_t palette = bits <= 8 ? 4u << bits : 0;
    uint32_t offset = 54 + palette;
    Bytes b{'B', 'M'};
    put32(b, offset + static_cast<uint32_t>(pixels.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(w));
    put32(b, static_cast<uint32_t>(h));
    put16(b, 1);
    put16(b, static_cast<uint32_t>(bits));
    put32(b, static_cast<uint32_t>(compression));
    put32(b, static_cast<uint32_t>(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (uint32_t i = 0; i < palette / 4; i++)
        put32(b, i * 0x010101u);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

}  // namespace bmp_bytes
