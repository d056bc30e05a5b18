// skin_palette: the colours of the default skin: dark walnut and brindle
// browns lit by candle amber, with cream text.
#ifndef SKIN_PALETTE_H
#define SKIN_PALETTE_H

#include "skin_canvas.h"

namespace skin {

constexpr Rgb INK{20, 12, 9};            // outlines and shadows
constexpr Rgb RECESS{27, 18, 14};        // sunken panels
constexpr Rgb WALNUT_DARK{42, 29, 22};
constexpr Rgb WALNUT{60, 42, 31};
constexpr Rgb WALNUT_LIGHT{88, 63, 44};
constexpr Rgb BRONZE{128, 92, 56};
constexpr Rgb BRASS{190, 146, 84};
constexpr Rgb CREAM{246, 232, 198};      // the text colour
constexpr Rgb AMBER_DEEP{124, 62, 24};
constexpr Rgb AMBER{226, 142, 44};
constexpr Rgb AMBER_LIGHT{255, 206, 108};
constexpr Rgb FLAME{255, 238, 160};
constexpr Rgb EMBER_RED{196, 62, 40};
constexpr Rgb EMBER_DARK{120, 32, 20};

}  // namespace skin

#endif
