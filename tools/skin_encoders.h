// skin_encoders: turn a Canvas into the bytes of an image file. Each encoder
// is self-contained (no image library) and deterministic: the same canvas
// always gives the same bytes.
//
// MASK pixels are written as they are in BMP (Allegro treats them as
// transparent); the icon formats (ICO, PNG, XPM) make them transparent.
#ifndef SKIN_ENCODERS_H
#define SKIN_ENCODERS_H

#include <cstdint>
#include <string>
#include <vector>

#include "skin_canvas.h"

namespace skin {

// 24-bit BMP with the 40-byte info header (the variant Allegro 4 loads):
// rows bottom-up, blue-green-red, each row padded to 4 bytes.
std::vector<uint8_t> encode_bmp24(const Canvas &c);

// 8-bit RGBA PNG, zlib stream of stored (uncompressed) blocks.
std::vector<uint8_t> encode_png(const Canvas &c);

// Windows icon with one 32-bit image per canvas (each at most 256 x 256),
// in the order given.
std::vector<uint8_t> encode_ico(const std::vector<Canvas> &images);

// C++ source defining `const char *NAME[]` as an XPM image, one character
// per colour, for the X11 window icon. Empty when the canvas has more
// colours than the 71 one-character codes.
std::string encode_xpm_source(const Canvas &c, const std::string &name);

// Little-endian writers shared by the encoders.
void put_le16(std::vector<uint8_t> &out, uint32_t v);
void put_le32(std::vector<uint8_t> &out, uint32_t v);

}  // namespace skin

#endif
