// The default skin: make_skin reproduces the committed files byte for byte,
// and the sheet Allegro loads from them has every piece where the program
// cuts it, legible text and transparency only where it belongs.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <set>

#include "asset_files.h"

namespace {

const char *const OUTPUTS[][2] = {
    {"demo", "UI.bmp"},
    {"demo", "BG.bmp"},
    {"resources", "brindlewick.ico"},
    {"resources", "brindlewick-16.png"},
    {"resources", "brindlewick-32.png"},
    {"resources", "brindlewick-64.png"},
    {"resources", "window_icon_xpm.inc"},
};

TEST(MakeSkin, RegeneratesTheCommittedFilesExactly) {
    TempFolder out;
    ASSERT_FALSE(out.path.empty());
    std::string cmd = std::string("'") + MAKE_SKIN + "' '" + out.path + "' '" + out.path + "'";
    ASSERT_EQ(run_command(cmd), 0) << cmd;
    for (auto &o : OUTPUTS) {
        std::vector<uint8_t> made = read_file(out.path + "/" + o[1]);
        std::vector<uint8_t> committed = read_file(std::string(SOURCE_DIR) + "/" + o[0] + "/" + o[1]);
        ASSERT_FALSE(made.empty()) << o[1];
        EXPECT_TRUE(made == committed) << o[0] << "/" << o[1]
                                       << " differs from make_skin's output: run make_skin";
    }
}

TEST(MakeSkin, RefusesAFolderItCannotWrite) {
    std::string cmd = std::string("'") + MAKE_SKIN + "' /nonexistent/x /nonexistent/y 2>/dev/null";
    EXPECT_EQ(run_command(cmd), 1);
}

struct Sheet : ::testing::Test {
    static void SetUpTestSuite() {
        static bool started = false;
        if (!started) install_allegro(SYSTEM_NONE, &errno, atexit);
        started = true;
    }
    BITMAP *load(const char *name, int depth) {
        set_color_depth(depth);
        BITMAP *b = load_bitmap((std::string(SOURCE_DIR) + "/demo/" + name).c_str(), nullptr);
        loaded.push_back(b);
        return b;
    }
    void TearDown() override {
        for (BITMAP *b : loaded)
            if (b) destroy_bitmap(b);
        set_color_depth(32);
    }
    std::vector<BITMAP *> loaded;
};

bool is_mask(BITMAP *b, int x, int y) { return getpixel(b, x, y) == bitmap_mask_color(b); }

int mask_count(BITMAP *b, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) n += is_mask(b, i, j);
    return n;
}

double luminance(BITMAP *b, int c) {
    auto lin = [](int v) {
        double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    int d = bitmap_color_depth(b);
    return 0.2126 * lin(getr_depth(d, c)) + 0.7152 * lin(getg_depth(d, c)) +
           0.0722 * lin(getb_depth(d, c));
}

// The lowest contrast ratio between the text colour and any pixel of the
// area where text is written.
double worst_contrast(BITMAP *b, int text, int x, int y, int w, int h) {
    double worst = 100, lt = luminance(b, text);
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            double lp = luminance(b, getpixel(b, i, j));
            double ratio = (std::max(lt, lp) + 0.05) / (std::min(lt, lp) + 0.05);
            worst = std::min(worst, ratio);
        }
    return worst;
}

int differing_pixels(BITMAP *b, int x1, int y1, int x2, int y2, int w, int h) {
    int n = 0;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) n += getpixel(b, x1 + i, y1 + j) != getpixel(b, x2 + i, y2 + j);
    return n;
}

TEST_F(Sheet, LoadsInAllegroAtTheSizeThePiecesNeed) {
    BITMAP *ui = load("UI.bmp", 32);
    BITMAP *bg = load("BG.bmp", 32);
    ASSERT_NE(ui, nullptr);
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(ui->w, 288);
    EXPECT_EQ(ui->h, 112);
    EXPECT_EQ(mask_count(bg, 0, 0, bg->w, bg->h), 0) << "a masked backdrop pixel leaves trails";
}

TEST_F(Sheet, TextColourIsOpaqueAndReadsOnRowsAndOnTheFoot) {
    BITMAP *ui = load("UI.bmp", 32);
    BITMAP *bg = load("BG.bmp", 32);
    ASSERT_TRUE(ui && bg);
    ASSERT_FALSE(is_mask(ui, 24, 8));
    int text = getpixel(ui, 24, 8);
    // Names at row x 34..219, y 4..11; numbers up to x 27, y 5..12.
    for (int row_y : {32, 48}) {
        EXPECT_GE(worst_contrast(ui, text, 34, row_y + 4, 186, 8), 4.5) << "row at y " << row_y;
        EXPECT_GE(worst_contrast(ui, text, 3, row_y + 5, 25, 8), 4.5) << "number at y " << row_y;
    }
    EXPECT_GE(worst_contrast(bg, text, 2, 219, 286, 8), 4.5) << "error line";
}

TEST_F(Sheet, CursorHasItsTipAtTheHotSpotAndSeeThroughSurroundings) {
    BITMAP *ui = load("UI.bmp", 32);
    ASSERT_NE(ui, nullptr);
    EXPECT_FALSE(is_mask(ui, 0, 0));
    int clear = mask_count(ui, 0, 0, 16, 16);
    EXPECT_GT(clear, 100);
    EXPECT_LT(clear, 256 - 30);
}

TEST_F(Sheet, ButtonsAreOpaqueDistinctAndLitClearlyDiffers) {
    BITMAP *ui = load("UI.bmp", 32);
    ASSERT_NE(ui, nullptr);
    for (int k = 0; k < 8; k++) {
        int x = 32 + 26 * k;
        for (int y : {0, 16}) {
            EXPECT_LE(mask_count(ui, x, y, 26, 16), 4) << "button " << k << " only corners clear";
            EXPECT_EQ(mask_count(ui, x + 1, y + 1, 24, 14), 0) << "button " << k;
        }
        EXPECT_GT(differing_pixels(ui, x, 0, x, 16, 26, 16), 26 * 16 * 3 / 4)
            << "button " << k << " lit looks like normal";
        for (int m = 0; m < k; m++)
            EXPECT_GT(differing_pixels(ui, x, 0, 32 + 26 * m, 0, 26, 16), 20)
                << "buttons " << m << " and " << k << " look alike";
    }
}

TEST_F(Sheet, RowsArrowsTroughTitleAndFillSitAtTheirRectangles) {
    BITMAP *ui = load("UI.bmp", 32);
    ASSERT_NE(ui, nullptr);
    struct Piece {
        const char *name;
        int x1, y1, x2, y2;
    } pieces[] = {
        {"row", 0, 32, 220, 48},      {"current row", 0, 48, 220, 64},
        {"up", 220, 32, 236, 48},     {"up held", 220, 48, 236, 64},
        {"down", 236, 32, 252, 48},   {"down held", 236, 48, 252, 64},
        {"trough", 0, 64, 240, 78},   {"title", 0, 78, 288, 98},
    };
    for (const Piece &p : pieces)
        EXPECT_LE(mask_count(ui, p.x1, p.y1, p.x2 - p.x1, p.y2 - p.y1), 4) << p.name;
    EXPECT_GT(differing_pixels(ui, 0, 32, 0, 48, 220, 16), 220 * 16 / 2) << "current row stands out";
    EXPECT_GT(differing_pixels(ui, 220, 32, 220, 48, 32, 16), 16 * 16) << "held arrows stand out";
    // The fill is opaque up to its glowing end; the last two columns stay
    // clear so a full bar ends inside the trough's channel.
    EXPECT_EQ(mask_count(ui, 0, 100, 238, 12), 0);
    EXPECT_EQ(mask_count(ui, 238, 100, 2, 12), 24);
}

// At the 16-bit fallback depth, no colour of the skin may collapse into the
// mask colour (it would turn a piece see-through).
TEST_F(Sheet, SixteenBitLoadKeepsExactlyTheSameTransparentPixels) {
    BITMAP *ui32 = load("UI.bmp", 32);
    BITMAP *ui16 = load("UI.bmp", 16);
    BITMAP *bg16 = load("BG.bmp", 16);
    ASSERT_TRUE(ui32 && ui16 && bg16);
    EXPECT_EQ(bitmap_color_depth(ui16), 16);
    for (int y = 0; y < 112; y++)
        for (int x = 0; x < 288; x++)
            ASSERT_EQ(is_mask(ui32, x, y), is_mask(ui16, x, y)) << x << "," << y;
    EXPECT_EQ(mask_count(bg16, 0, 0, bg16->w, bg16->h), 0);
}

}  // namespace
