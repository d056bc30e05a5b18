// The demo skin, built into the program so it still has a face when the
// folder's "UI.bmp" or "BG.bmp" is missing or unusable. The bytes are the
// same 24-bit BMP files that ship in demo/, embedded at build time.
#ifndef UI_BUILTIN_SKIN_H
#define UI_BUILTIN_SKIN_H

#include <cstddef>

extern const unsigned char BUILTIN_UI_BMP[];
extern const size_t BUILTIN_UI_BMP_SIZE;
extern const unsigned char BUILTIN_BG_BMP[];
extern const size_t BUILTIN_BG_BMP_SIZE;

#endif
