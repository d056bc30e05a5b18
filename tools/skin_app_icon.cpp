#include "skin_art.h"
#include "skin_glyphs.h"
#include "skin_palette.h"

namespace skin {

static const std::vector<ArtKey> ICON_KEY = {
    {'k', INK},   {'w', WALNUT}, {'l', WALNUT_LIGHT}, {'g', BRASS},
    {'c', CREAM}, {'o', AMBER},  {'y', FLAME},
};

Canvas make_icon(int size) {
    const Art &art = size == 16 ? icon16_art() : icon32_art();
    Canvas c(art_width(art), int(art.size()), MASK);
    stamp_art(c, 0, 0, art, ICON_KEY);
    if (size > 32 && size % 32 == 0) return enlarge(c, size / 32);
    return c;
}

}  // namespace skin
