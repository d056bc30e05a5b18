// skin_art: the default skin and the program's icon, drawn from scratch.
// Each call draws the same pixels every time.
#ifndef SKIN_ART_H
#define SKIN_ART_H

#include "skin_canvas.h"

namespace skin {

constexpr int SHEET_W = 288, SHEET_H = 112;
constexpr int WINDOW_W = 288, WINDOW_H = 228;

// "UI.bmp": every interface piece at its place in the sheet; MASK wherever
// a piece is transparent and in the unused parts.
Canvas make_sheet();

// "BG.bmp": one window-sized backdrop (drawn once by the tiling), with
// recesses behind the button column, the progress bar and the list.
Canvas make_backdrop();

// The window icon at 16 or 32 pixels (any other size gives the 32 one
// scaled by a whole factor where it divides, else 32); MASK is transparent.
Canvas make_icon(int size);

}  // namespace skin

#endif
