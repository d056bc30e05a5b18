// Hostile skin files, made here byte by byte, through the real skin loader:
// each is refused with a reason on stderr and the built-in skin is drawn.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "program_test_support.h"
#include "ui/builtin_skin.h"
#include "ui/memory_bmp.h"
#include "ui/skin.h"

namespace {

using bytes = std::vector<unsigned char>;

using bmp_bytes::bmp;

// Run-length data whose runs of 255 pixels overrun every row many times.
bytes overrunning_runs(int runs)
{
    bytes px;
    for (int i = 0; i < runs; i++) {
        px.push_back(255);
        px.push_back(7);
    }
    px.push_back(0);
    px.push_back(1);  // end of picture
    return px;
}

void write_file(const char *name, const bytes &b)
{
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char *>(b.data()), static_cast<std::streamsize>(b.size()));
}

class hostile_skin : public ::testing::Test {
protected:
    void SetUp() override { set_color_depth(32); }
    void TearDown() override { release_skin(); }

    // Writes UI.bmp (and a good BG.bmp), loads the skin, returns stderr.
    static std::string load_with_sheet(const bytes &sheet)
    {
        write_file("UI.bmp", sheet);
        write_file("BG.bmp", bmp(2, 2, 24, 0, bytes(16, 0x40)));
        ::testing::internal::CaptureStderr();
        load_skin();
        return ::testing::internal::GetCapturedStderr();
    }

    static bool sheet_is_builtin()
    {
        BITMAP *builtin = load_bmp_from_memory(BUILTIN_UI_BMP, BUILTIN_UI_BMP_SIZE);
        bool same = builtin && skin_sheet->w == builtin->w && skin_sheet->h == builtin->h &&
                    getpixel(skin_sheet, 24, 8) == getpixel(builtin, 24, 8);
        if (builtin)
            destroy_bitmap(builtin);
        return same;
    }

    temp_folder folder_;
};

TEST_F(hostile_skin, a_header_claiming_60000_by_60000_is_refused_without_reading_on)
{
    std::string said = load_with_sheet(bmp(60000, 60000, 24, 0, bytes(4096, 0x11)));
    EXPECT_NE(said.find("UI.bmp has a width or height"), std::string::npos) << said;
    EXPECT_TRUE(sheet_is_builtin());
}

TEST_F(hostile_skin, run_length_data_that_overruns_its_rows_is_refused)
{
    // The image loader writes such runs past the end of its rows, so
    // run-length sheets are not handed to it at all.
    for (int bits : {8, 4}) {
        std::string said = load_with_sheet(bmp(300, 120, bits, bits == 8 ? 1 : 2,
                                               overrunning_runs(4000)));
        EXPECT_NE(said.find("UI.bmp is compressed in a way"), std::string::npos)
            << bits << ": " << said;
        EXPECT_TRUE(sheet_is_builtin()) << bits;
        release_skin();
    }
}

TEST_F(hostile_skin, depths_and_variants_the_loader_cannot_read_are_refused)
{
    struct variant {
        const char *what;
        bytes file;
        const char *said;
    };
    bytes os2_v2 = bmp(300, 120, 24, 0, bytes(300 * 3 * 120 + 120 * 4, 0x22));
    os2_v2[14] = 64;  // an OS/2 2.x info header
    const variant variants[] = {
        {"2 bits a pixel", bmp(300, 120, 2, 0, bytes(80 * 120, 0)), "has a pixel depth"},
        {"JPEG inside", bmp(300, 120, 24, 4, bytes(1000, 0xff)), "is compressed in a way"},
        {"OS/2 2.x header", os2_v2, "is a BMP variant"},
        {"no pixels", bmp(300, 120, 24, 0, bytes()), "is truncated"},
        {"a PNG named .bmp", bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}, "is not a BMP"},
    };
    for (const variant &v : variants) {
        std::string said = load_with_sheet(v.file);
        EXPECT_NE(said.find(std::string("UI.bmp ") + v.said), std::string::npos)
            << v.what << ": " << said;
        EXPECT_TRUE(sheet_is_builtin()) << v.what;
        EXPECT_NE(back_buffer, nullptr);
        release_skin();
    }
}

}  // namespace
