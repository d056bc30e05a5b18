// The X11 window icon: linking resources/window_icon.cpp hands Allegro an
// XPM that libXpm (the library Allegro's X11 port reads it with) accepts,
// the same picture as the 32-pixel desktop icon.
// gtest before Xlib: Xlib's macros (None, Bool) break gtest's headers.
#include <gtest/gtest.h>

#include <X11/xpm.h>

#include "resources/window_icon.h"

extern "C" void *allegro_icon;

namespace {

TEST(WindowIcon, IsHandedToAllegroBeforeMain) {
    EXPECT_EQ(allegro_icon, static_cast<void *>(brindlewick_icon_xpm));
}

TEST(WindowIcon, ParsesAsA32PixelXpmWithTransparency) {
    XpmImage image;
    XpmInfo info;
    ASSERT_EQ(XpmCreateXpmImageFromData(const_cast<char **>(brindlewick_icon_xpm), &image, &info),
              XpmSuccess);
    EXPECT_EQ(image.width, 32u);
    EXPECT_EQ(image.height, 32u);
    bool has_none = false;
    for (unsigned i = 0; i < image.ncolors; i++)
        if (image.colorTable[i].c_color && std::string(image.colorTable[i].c_color) == "None")
            has_none = true;
    EXPECT_TRUE(has_none) << "the rounded corners are transparent";
    std::vector<int> used(image.ncolors, 0);
    for (unsigned i = 0; i < image.width * image.height; i++) {
        ASSERT_LT(image.data[i], image.ncolors);
        used[image.data[i]]++;
    }
    for (unsigned i = 0; i < image.ncolors; i++) EXPECT_GT(used[i], 0) << "unused colour " << i;
    XpmFreeXpmImage(&image);
    XpmFreeXpmInfo(&info);
}

}  // namespace
