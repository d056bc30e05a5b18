// Code page 932, the Japanese Windows code page (Shift JIS with Microsoft's
// extensions), as the engine's own table: names read the same on every
// platform, with no system converter.
#ifndef PXTONE_CP932_H
#define PXTONE_CP932_H

#include <cstdint>

namespace pxtone {

// The character the two-byte code LEAD TRAIL stands for, or 0 when it stands
// for none (also when LEAD is not a lead byte). Generated: cp932_table.cpp.
uint32_t cp932_pair(uint8_t lead, uint8_t trail);

}  // namespace pxtone

#endif
