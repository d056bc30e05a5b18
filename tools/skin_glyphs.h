// skin_glyphs: the pixel art of the skin and icon, as rows of characters.
// '#' is the drawn colour and '.' is left alone, unless a glyph's comment
// names more characters.
#ifndef SKIN_GLYPHS_H
#define SKIN_GLYPHS_H

#include <vector>

namespace skin {

using Art = std::vector<const char *>;

// Button symbols, in column order: rescan, shuffle, back, stop, play,
// restart, loop, exit. Each fits in 13 x 10.
const Art &button_glyph(int k);

// Scroll arrow symbols.
const Art &arrow_up_glyph();
const Art &arrow_down_glyph();

// Mouse pointer, 16 x 16: 'o' outline, '#' fill, 'h' highlight.
const Art &cursor_art();

// Candle for the title strip: 'o' flame outer, 'y' flame core, 'w' wick,
// 'c' wax, 's' wax shade, 'b' holder.
const Art &candle_art();

// The program's name in the title face; 11 rows, baseline on the last.
const Art &title_word_art();

// Window icon, 32 x 32 and 16 x 16: 'k' ink, 'w' walnut, 'l' walnut light,
// 'g' brass, 'c' cream, 'o' flame outer, 'y' flame core; '.' transparent.
const Art &icon32_art();
const Art &icon16_art();

}  // namespace skin

#endif
