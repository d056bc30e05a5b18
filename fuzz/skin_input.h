/* skin_input.h - how fuzz_skin's input stands for the two skin files, shared
 * with the test that replays the inputs it found.
 *
 * Byte 0: bit 0 set when UI.bmp exists, bit 1 when BG.bmp does. Bytes 1-4:
 * UI.bmp's length, little-endian, cut to the bytes that follow. Then UI.bmp's
 * bytes, and BG.bmp's are all the rest. An input shorter than 5 bytes has
 * neither file. Only reads data[0 .. size - 1].
 */
#ifndef FUZZ_SKIN_INPUT_H
#define FUZZ_SKIN_INPUT_H

#include <cstddef>
#include <cstdint>

struct skin_input {
    bool sheet_present = false, tile_present = false;
    const uint8_t *sheet = nullptr, *tile = nullptr;
    size_t sheet_size = 0, tile_size = 0;
};

constexpr size_t SKIN_INPUT_HEAD = 5;

inline skin_input split_skin_input(const uint8_t *data, size_t size)
{
    skin_input in;
    if (size < SKIN_INPUT_HEAD)
        return in;
    in.sheet_present = data[0] & 1;
    in.tile_present = data[0] & 2;
    size_t claimed = data[1] | data[2] << 8 | data[3] << 16 | static_cast<size_t>(data[4]) << 24;
    size_t left = size - SKIN_INPUT_HEAD;
    in.sheet = data + SKIN_INPUT_HEAD;
    in.sheet_size = claimed < left ? claimed : left;
    in.tile = in.sheet + in.sheet_size;
    in.tile_size = left - in.sheet_size;
    return in;
}

#endif
