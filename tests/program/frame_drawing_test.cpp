// The drawing steps, into the real back buffer from a sheet whose every
// pixel encodes its own position, so each drawn pixel tells where in the
// sheet it came from.
#include <cstring>
#include <string>

#include "app/frame_loop.h"
#include "app/player_state.h"
#include "playback/tune_player.h"
#include "program_test_support.h"
#include "tunes/tune_list.h"
#include "ui/display_name.h"
#include "ui/name_text.h"
#include "ui/frame_drawing.h"
#include "ui/skin.h"

namespace {

int sheet_colour(int x, int y)
{
    return makecol(x & 255, y, 1 + (x >> 8));
}

int tile_colour(int x, int y)
{
    return makecol(x * 8, y * 8, 100);
}

class frame_drawing : public program_test {
protected:
    void SetUp() override
    {
        program_test::SetUp();
        destroy_bitmap(skin_sheet);
        destroy_bitmap(backdrop_tile);
        skin_sheet = create_bitmap_ex(32, SHEET_MIN_W, SHEET_MIN_H);
        for (int y = 0; y < skin_sheet->h; y++)
            for (int x = 0; x < skin_sheet->w; x++)
                putpixel(skin_sheet, x, y, sheet_colour(x, y));
        backdrop_tile = create_bitmap_ex(32, 30, 30);
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 30; x++)
                putpixel(backdrop_tile, x, y, tile_colour(x, y));
        text_colour = getpixel(skin_sheet, 24, 8);
        clear_to_color(back_buffer, makecol(0, 0, 0));
    }

    // True when the w x h block at (x, y) of the back buffer is the sheet's
    // block at (sx, sy).
    static bool shows_sheet(int x, int y, int sx, int sy, int w, int h)
    {
        for (int j = 0; j < h; j++)
            for (int i = 0; i < w; i++)
                if (getpixel(back_buffer, x + i, y + j) != sheet_colour(sx + i, sy + j))
                    return false;
        return true;
    }

    // The list row j as it should look: its piece, the number and the name.
    static BITMAP *expected_row(int j, int32_t n, bool current, const char *name)
    {
        BITMAP *b = create_bitmap_ex(32, WINDOW_W, WINDOW_H);
        clear_to_color(b, makecol(0, 0, 0));
        masked_blit(skin_sheet, b, 0, current ? 48 : 32, 40, 50 + 17 * j, 220, 16);
        textprintf_right_ex(b, font, 67, 55 + 17 * j, text_colour, -1, "%d", n);
        textout_ex(b, font, name, 74, 54 + 17 * j, text_colour, -1);
        return b;
    }

    static bool row_matches(BITMAP *expected, int j)
    {
        for (int y = 50 + 17 * j; y < 66 + 17 * j; y++)
            for (int x = 40; x < 260; x++)
                if (getpixel(back_buffer, x, y) != getpixel(expected, x, y))
                    return false;
        return true;
    }

    static void check_shown_name(const char *file_name, const char *shown)
    {
        clear_tune_list();
        add_tune(file_name, 0);
        player_state.tune_count = 1;
        draw_list_rows();
        BITMAP *expected = expected_row(0, 1, true, shown);
        EXPECT_TRUE(row_matches(expected, 0)) << file_name << " should show as " << shown;
        destroy_bitmap(expected);
    }
};

std::string shown(const std::string &name)
{
    char text[LIST_TEXT_BYTES];
    list_text(name.c_str(), text);
    return text;
}

TEST(display_name, drops_a_tune_extension_in_any_case_and_shortens_long_names)
{
    EXPECT_EQ(shown("song.ptcop"), "song");
    EXPECT_EQ(shown("SONG.PTCOP"), "SONG");
    EXPECT_EQ(shown("Tune.PtTune"), "Tune");
    EXPECT_EQ(shown("a.b.pttune"), "a.b.pttune");
    EXPECT_EQ(shown("x.z.ptcop"), "x");
    EXPECT_EQ(shown("Mr. Blue.PTCOP"), "Mr. Blue.PTCOP");  // ". Blue" orders before ".pt"
    EXPECT_EQ(shown(".ptcop"), "");
    EXPECT_EQ(shown("no dot at all"), "no dot at all");
    EXPECT_EQ(shown("abcdefghijklmnopqrstuvw"), "abcdefghijklmnopqrstuvw");  // 23
    EXPECT_EQ(shown("abcdefghijklmnopqrstuvwx"), "abcdefghijklmnopqrst...");
    EXPECT_EQ(shown("abcdefghijklmnopqrstuvwxyz.ptcop"), "abcdefghijklmnopqrst...");
}

TEST(display_name, counts_characters_and_reads_names_that_are_not_utf8_as_latin1)
{
    // 23 two-byte characters fit whole; 24 are cut after 20 characters.
    std::string e23, e20;
    for (int k = 0; k < 23; k++)
        e23 += "\xc3\xa9";
    e20 = e23.substr(0, 40);
    EXPECT_EQ(shown(e23 + ".ptcop"), e23);
    EXPECT_EQ(shown(e23 + "\xc3\xa9.ptcop"), e20 + "...");
    EXPECT_EQ(shown("caf\xe9 au lait.ptcop"), "caf\xc3\xa9 au lait");
    EXPECT_EQ(shown("\xff\xfe bom.PTTUNE"), "\xc3\xbf\xc3\xbe bom");
    // A broken sequence, an overlong form and a surrogate are no UTF-8.
    EXPECT_EQ(shown("a\xc3(.ptcop"), "a\xc3\x83(");
    EXPECT_EQ(shown("\xc0\xaf.ptcop"), "\xc3\x80\xc2\xaf");
    EXPECT_EQ(shown("\xed\xa0\x80.ptcop"), "\xc3\xad\xc2\xa0\xc2\x80");
    EXPECT_EQ(shown("\xf0\x9f\x8e\xb5 tune.ptcop"), "\xf0\x9f\x8e\xb5 tune");  // kept as it is
}

TEST(name_text, never_writes_past_its_buffer_nor_half_a_character)
{
    char out[6];
    std::memset(out, 'z', sizeof out);
    // Three two-byte characters need 7 bytes: only two of them fit.
    EXPECT_EQ(name_text("\xc3\xa9\xc3\xa9\xc3\xa9", 6, 10, "..", out, sizeof out), 2);
    EXPECT_STREQ(out, "\xc3\xa9\xc3\xa9");
    EXPECT_EQ(name_text("anything", 8, 10, "..", out, 1), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(name_text("abcdefgh", 8, 5, "..", out, sizeof out), 5);
    EXPECT_STREQ(out, "abc..");
}

TEST_F(frame_drawing, rows_show_numbers_and_shortened_names)
{
    check_shown_name("song.ptcop", "song");
    check_shown_name("x.z.ptcop", "x");
    check_shown_name("a.b.pttune", "a.b.pttune");
    check_shown_name("abcdefghijklmnopqrstuvwx.pttune", "abcdefghijklmnopqrst...");
    check_shown_name(std::string(63, 'm').c_str(), "mmmmmmmmmmmmmmmmmmmm...");
    check_shown_name("caf\xe9.PTCOP", "caf\xc3\xa9");
}

TEST_F(frame_drawing, the_current_tune_row_is_highlighted_and_numbers_end_at_67)
{
    for (int k = 0; k < 30; k++)
        add_tune(("t" + std::to_string(k + 1) + ".ptcop").c_str(), k);
    player_state.tune_count = 30;
    player_state.top_row = 5;
    player_state.current_tune = 9;
    draw_list_rows();
    for (int j = 0; j < 10; j++) {
        int32_t n = 5 + j;
        BITMAP *expected = expected_row(j, n, n == 9, ("t" + std::to_string(n)).c_str());
        EXPECT_TRUE(row_matches(expected, j)) << "row " << j;
        destroy_bitmap(expected);
    }
    // "14" is two 8-pixel glyphs ending at x 66; nothing of it at 67 or right.
    bool ink_left = false, ink_right = false;
    for (int y = 55 + 17 * 9; y < 63 + 17 * 9; y++) {
        ink_left |= getpixel(back_buffer, 51, y) == text_colour ||
                    getpixel(back_buffer, 52, y) == text_colour;
        for (int x = 67; x < 74; x++)
            ink_right |= getpixel(back_buffer, x, y) == text_colour;
    }
    EXPECT_TRUE(ink_left);
    EXPECT_FALSE(ink_right);
}

TEST_F(frame_drawing, rows_past_the_tune_count_show_only_their_number)
{
    add_tune("one.ptcop", 0);
    player_state.tune_count = 1;
    player_state.current_tune = 1;
    draw_list_rows();
    BITMAP *expected = expected_row(4, 5, false, "");
    EXPECT_TRUE(row_matches(expected, 4));
    destroy_bitmap(expected);
}

TEST_F(frame_drawing, lit_buttons_use_the_lower_pieces)
{
    player_state.button_lit[3] = 1;
    player_state.button_lit[7] = 1;
    draw_column_buttons();
    for (int k = 0; k < 8; k++) {
        bool lit = k == 3 || k == 7;
        EXPECT_TRUE(shows_sheet(6, 28 + 25 * k, 32 + 26 * k, lit ? 16 : 0, 26, 16)) << k;
    }
}

TEST_F(frame_drawing, the_fill_is_cut_from_the_strips_right_end)
{
    player_state.bar_width = 240;
    draw_progress_bar();
    EXPECT_TRUE(shows_sheet(41, 30, 0, 100, 240, 12));
    EXPECT_TRUE(shows_sheet(40, 29, 0, 64, 240, 1)) << "the trough's top row shows";

    player_state.bar_width = 10;
    draw_progress_bar();
    EXPECT_TRUE(shows_sheet(41, 30, 230, 100, 10, 12));
    EXPECT_TRUE(shows_sheet(51, 30, 11, 65, 229, 12)) << "trough beyond the fill";

    player_state.bar_width = 0;
    draw_progress_bar();
    EXPECT_TRUE(shows_sheet(40, 29, 0, 64, 240, 14));
}

TEST_F(frame_drawing, widths_outside_the_strip_draw_within_it)
{
    player_state.bar_width = 100000;
    draw_progress_bar();
    EXPECT_TRUE(shows_sheet(41, 30, 0, 100, 240, 12));
    EXPECT_EQ(player_state.bar_width, 100000) << "the width itself stays unclamped";
    EXPECT_EQ(getpixel(back_buffer, 281, 35), makecol(0, 0, 0)) << "nothing right of the trough";

    player_state.bar_width = -30;
    draw_progress_bar();
    EXPECT_TRUE(shows_sheet(40, 29, 0, 64, 240, 14));
    EXPECT_EQ(drawn_fill_width(INT32_MIN), 0);
    EXPECT_EQ(drawn_fill_width(INT32_MAX), 240);
}

TEST_F(frame_drawing, a_30_pixel_tile_covers_the_window_to_its_cut_edges)
{
    tile_backdrop();
    int wrong = 0;
    for (int y = 0; y < WINDOW_H; y++)
        for (int x = 0; x < WINDOW_W; x++)
            wrong += getpixel(back_buffer, x, y) != tile_colour(x % 30, y % 30);
    EXPECT_EQ(wrong, 0);
}

TEST_F(frame_drawing, mask_coloured_tile_pixels_keep_the_previous_frame)
{
    int mask = makecol(255, 0, 255);
    putpixel(backdrop_tile, 3, 4, mask);
    int before = makecol(10, 200, 30);
    clear_to_color(back_buffer, before);
    tile_backdrop();
    EXPECT_EQ(getpixel(back_buffer, 3, 4), before);
    EXPECT_EQ(getpixel(back_buffer, 33, 34), before);
    EXPECT_EQ(getpixel(back_buffer, 4, 4), tile_colour(4, 4));
}

TEST_F(frame_drawing, arrows_title_and_cursor)
{
    player_state.scroll_up_held = 1;
    draw_scroll_arrows();
    EXPECT_TRUE(shows_sheet(264, 50, 220, 48, 16, 16));
    EXPECT_TRUE(shows_sheet(264, 203, 236, 32, 16, 16));
    draw_title_strip();
    EXPECT_TRUE(shows_sheet(0, 0, 0, 78, 288, 20));
    put_mouse(100, 120, false);
    draw_cursor();  // headless Allegro reports the mouse on screen
    EXPECT_TRUE(shows_sheet(100, 120, 0, 0, 16, 16));
}

TEST_F(frame_drawing, the_error_line_shows_the_engines_text)
{
    load_and_start(0);  // slot 0 is empty: the engine fails and says why
    std::string error = last_error_text();
    ASSERT_FALSE(error.empty());
    BITMAP *expected = create_bitmap_ex(32, WINDOW_W, WINDOW_H);
    clear_to_color(expected, makecol(0, 0, 0));
    textout_ex(expected, font, error.c_str(), 2, 219, text_colour, -1);
    draw_error_line();
    int wrong = 0;
    for (int y = 219; y < WINDOW_H; y++)
        for (int x = 0; x < WINDOW_W; x++)
            wrong += getpixel(back_buffer, x, y) != getpixel(expected, x, y);
    EXPECT_EQ(wrong, 0);
    destroy_bitmap(expected);
}

TEST_F(frame_drawing, a_whole_frame_composes_every_piece)
{
    add_tune("only.ptcop", 0);
    player_state.tune_count = 1;
    player_state.button_lit[BUTTON_LOOP] = 1;
    put_mouse(250, 100, false);
    run_frames(1);
    EXPECT_TRUE(shows_sheet(0, 0, 0, 78, 288, 20));
    EXPECT_TRUE(shows_sheet(6, 178, 188, 16, 26, 16)) << "loop lit";
    EXPECT_TRUE(shows_sheet(40, 29, 0, 64, 240, 1));
    EXPECT_TRUE(shows_sheet(264, 203, 236, 32, 16, 16));
    EXPECT_TRUE(shows_sheet(250, 100, 0, 0, 16, 16));
    EXPECT_EQ(getpixel(back_buffer, 0, 25), tile_colour(0, 25));
}

}  // namespace
