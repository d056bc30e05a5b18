// Loading the skin from the current folder, and falling back to the
// built-in one for every way the files can be unusable.
#include <fstream>
#include <string>
#include <vector>

#include "program_test_support.h"
#include "ui/bmp_check.h"
#include "ui/builtin_skin.h"
#include "ui/frame_drawing.h"
#include "ui/memory_bmp.h"
#include "ui/skin.h"

namespace {

// A 24-bit BMP3 file of w x h in one colour, with (24, 8) in another.
void write_bmp(const char *name, int w, int h, int colour, int sample_colour)
{
    BITMAP *b = create_bitmap_ex(32, w, h);
    clear_to_color(b, colour);
    if (w > 24 && h > 8)
        putpixel(b, 24, 8, sample_colour);
    save_bmp(name, b, nullptr);
    destroy_bitmap(b);
}

std::vector<unsigned char> file_bytes(const char *name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const char *name, const std::vector<unsigned char> &bytes)
{
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

class skin : public ::testing::Test {
protected:
    void SetUp() override { set_color_depth(32); }
    void TearDown() override
    {
        release_skin();
        set_color_depth(32);
    }

    // Loads the skin and returns what it said on stderr.
    static std::string load_and_capture()
    {
        ::testing::internal::CaptureStderr();
        load_skin();
        return ::testing::internal::GetCapturedStderr();
    }

    static bool uses_builtin_skin()
    {
        BITMAP *builtin = load_bmp_from_memory(BUILTIN_UI_BMP, BUILTIN_UI_BMP_SIZE);
        bool same = builtin && skin_sheet->w == builtin->w && skin_sheet->h == builtin->h;
        for (int y = 0; same && y < builtin->h; y += 7)
            for (int x = 0; same && x < builtin->w; x += 5)
                same = getpixel(skin_sheet, x, y) == getpixel(builtin, x, y);
        if (builtin)
            destroy_bitmap(builtin);
        return same;
    }

    temp_folder folder_;
};

TEST_F(skin, the_folders_images_are_used_when_good)
{
    write_bmp("UI.bmp", 300, 120, makecol(10, 20, 30), makecol(200, 100, 50));
    write_bmp("BG.bmp", 7, 5, makecol(1, 2, 3), 0);
    EXPECT_EQ(load_and_capture(), "");
    EXPECT_EQ(skin_sheet->w, 300);
    EXPECT_EQ(backdrop_tile->w, 7);
    EXPECT_EQ(text_colour, makecol(200, 100, 50));
    EXPECT_EQ(back_buffer->w, WINDOW_W);
    EXPECT_EQ(back_buffer->h, WINDOW_H);
    EXPECT_EQ(bitmap_color_depth(back_buffer), 32);
}

TEST_F(skin, missing_files_fall_back_and_say_so)
{
    std::string said = load_and_capture();
    EXPECT_NE(said.find("UI.bmp not found"), std::string::npos) << said;
    EXPECT_NE(said.find("BG.bmp not found"), std::string::npos) << said;
    EXPECT_NE(said.find("built-in skin"), std::string::npos) << said;
    EXPECT_TRUE(uses_builtin_skin());
    ASSERT_NE(backdrop_tile, nullptr);
    ASSERT_NE(back_buffer, nullptr);
}

TEST_F(skin, one_bad_file_replaces_both_images)
{
    write_bmp("UI.bmp", 300, 120, makecol(10, 20, 30), makecol(200, 100, 50));
    std::string said = load_and_capture();
    EXPECT_NE(said.find("BG.bmp not found"), std::string::npos) << said;
    EXPECT_EQ(said.find("UI.bmp"), std::string::npos) << said;
    EXPECT_TRUE(uses_builtin_skin());
}

TEST_F(skin, a_sheet_smaller_than_its_pieces_falls_back)
{
    write_bmp("UI.bmp", 287, 112, makecol(10, 20, 30), 0);
    write_bmp("BG.bmp", 4, 4, makecol(1, 2, 3), 0);
    std::string said = load_and_capture();
    EXPECT_NE(said.find("UI.bmp is 287 x 112, smaller than 288 x 112"), std::string::npos) << said;
    EXPECT_TRUE(uses_builtin_skin());
}

TEST_F(skin, unreadable_and_damaged_files_fall_back)
{
    write_bmp("BG.bmp", 4, 4, makecol(1, 2, 3), 0);
    struct bad_case {
        const char *what;
        void (*make)();
        const char *said;
    };
    const bad_case cases[] = {
        {"empty", [] { write_bytes("UI.bmp", {}); }, "is not a BMP file"},
        {"random bytes",
         [] {
             std::vector<unsigned char> junk(5000);
             for (size_t i = 0; i < junk.size(); i++)
                 junk[i] = static_cast<unsigned char>(i * 7919 >> 3);
             write_bytes("UI.bmp", junk);
         },
         "is not a BMP file"},
        {"truncated",
         [] {
             write_bmp("UI.bmp", 288, 112, makecol(9, 9, 9), 0);
             auto bytes = file_bytes("UI.bmp");
             bytes.resize(bytes.size() / 2);
             write_bytes("UI.bmp", bytes);
         },
         "is truncated"},
        {"V5 header",
         [] {
             write_bmp("UI.bmp", 288, 112, makecol(9, 9, 9), 0);
             auto bytes = file_bytes("UI.bmp");
             bytes[14] = 124;  // the info header's size: BITMAPV5HEADER
             write_bytes("UI.bmp", bytes);
         },
         "is a BMP variant"},
        {"huge dimensions",
         [] {
             write_bmp("UI.bmp", 288, 112, makecol(9, 9, 9), 0);
             auto bytes = file_bytes("UI.bmp");
             bytes[20] = 0x7f;  // width 0x7f000120
             write_bytes("UI.bmp", bytes);
         },
         "has a width or height"},
        {"a folder",
         [] {
             std::filesystem::remove("UI.bmp");
             std::filesystem::create_directory("UI.bmp");
         },
         "is not a file"},
    };
    for (const bad_case &c : cases) {
        c.make();
        std::string said = load_and_capture();
        EXPECT_NE(said.find(std::string("UI.bmp ") + c.said), std::string::npos)
            << c.what << ": " << said;
        EXPECT_TRUE(uses_builtin_skin()) << c.what;
        release_skin();
    }
}

TEST_F(skin, at_16_bits_images_and_back_buffer_share_a_depth_and_the_mask)
{
    int grey = makecol(128, 128, 128);
    BITMAP *sheet = create_bitmap_ex(32, 288, 112);
    clear_to_color(sheet, grey);
    rectfill(sheet, 0, 78, 99, 97, makecol(255, 0, 255));  // left of the title strip
    save_bmp("UI.bmp", sheet, nullptr);
    destroy_bitmap(sheet);
    write_bmp("BG.bmp", 4, 4, makecol(0, 0, 200), 0);

    set_color_depth(16);
    EXPECT_EQ(load_and_capture(), "");
    EXPECT_EQ(bitmap_color_depth(skin_sheet), 16);
    EXPECT_EQ(bitmap_color_depth(back_buffer), 16);
    clear_to_color(back_buffer, makecol(255, 0, 0));
    draw_title_strip();
    int kept = getpixel(back_buffer, 50, 10);
    int drawn = getpixel(back_buffer, 150, 10);
    EXPECT_EQ(getr(kept), 255);
    EXPECT_EQ(getg(kept), 0);
    EXPECT_EQ(getb(kept), 0);
    EXPECT_NEAR(getr(drawn), 128, 8);
    EXPECT_NEAR(getg(drawn), 128, 8);
    EXPECT_NEAR(getb(drawn), 128, 8);
    tile_backdrop();
    EXPECT_NEAR(getb(getpixel(back_buffer, 287, 227)), 200, 8);
}

TEST_F(skin, the_builtin_skin_loads_at_16_bits_too)
{
    set_color_depth(16);
    load_and_capture();
    EXPECT_TRUE(uses_builtin_skin());
    EXPECT_EQ(bitmap_color_depth(skin_sheet), 16);
    EXPECT_EQ(bitmap_color_depth(backdrop_tile), 16);
    EXPECT_EQ(bitmap_color_depth(back_buffer), 16);
}

TEST(bmp_check, reads_only_the_bytes_it_is_given)
{
    const unsigned char bm[] = {'B', 'M', 0, 0};
    EXPECT_STREQ(bmp_header_problem(bm, 0, 0), "is not a BMP file");
    EXPECT_STREQ(bmp_header_problem(bm, 4, 4), "is too short to be a BMP file");
    EXPECT_EQ(bmp_header_problem(BUILTIN_BG_BMP, BUILTIN_BG_BMP_SIZE,
                                 static_cast<long>(BUILTIN_BG_BMP_SIZE)),
              nullptr);
    EXPECT_EQ(load_bmp_from_memory(BUILTIN_UI_BMP, 60), nullptr);
}

}  // namespace
