// Every input the program's fuzzers once tripped over goes the way it went
// there: each file-name list (tests/data/names: two bytes, then names
// separated by NUL bytes) through the slot copy and the list drawing, within
// the table's bounds; each skin (tests/data/skins, in fuzz_skin's layout)
// through the skin loading and one whole frame.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/player_state.h"
#include "fuzz/skin_input.h"
#include "program_test_support.h"
#include "tunes/tune_list.h"
#include "ui/frame_drawing.h"
#include "ui/skin.h"

namespace {

class fuzz_findings : public program_test {};

std::vector<std::string> kept_inputs(const char *kind)
{
    std::vector<std::string> inputs;
    std::filesystem::path dir = std::filesystem::path(SOURCE_DIR) / "tests/data" / kind;
    if (!std::filesystem::is_directory(dir))
        return inputs;
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return inputs;
}

void put_skin_file(const char *name, bool present, const uint8_t *data, size_t size)
{
    std::filesystem::remove(name);
    if (present)
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
}

TEST_F(fuzz_findings, kept_skins_load_or_fall_back_and_draw_a_whole_frame)
{
    std::vector<std::string> skins = kept_inputs("skins");
    if (skins.empty())
        GTEST_SKIP() << "no skin findings kept";
    for (const std::string &data : skins) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(data.data());
        skin_input in = split_skin_input(bytes, data.size());
        put_skin_file("UI.bmp", in.sheet_present, in.sheet, in.sheet_size);
        put_skin_file("BG.bmp", in.tile_present, in.tile, in.tile_size);
        release_skin();
        ::testing::internal::CaptureStderr();
        load_skin();
        ::testing::internal::GetCapturedStderr();
        ASSERT_TRUE(skin_sheet && backdrop_tile && back_buffer);
        EXPECT_GE(skin_sheet->w, SHEET_MIN_W);
        EXPECT_GE(skin_sheet->h, SHEET_MIN_H);
        run_frames(1);
    }
}

TEST_F(fuzz_findings, kept_name_lists_stay_within_their_slots)
{
    std::filesystem::path dir = std::filesystem::path(SOURCE_DIR) / "tests/data/names";
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no findings kept yet";
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (data.size() < 2)
            continue;
        int32_t first = (static_cast<unsigned char>(data[0]) |
                         static_cast<unsigned char>(data[1]) << 8) % (TUNE_CAPACITY + 5) - 2;
        clear_tune_list();
        int32_t slot = first;
        for (size_t at = 2; at <= data.size(); slot++) {
            size_t stop = std::min(data.find('\0', at), data.size());
            std::string name = data.substr(at, stop - at);
            bool fits = slot >= 0 && slot < TUNE_CAPACITY && name.size() < NAME_SLOT_BYTES;
            EXPECT_EQ(add_tune(name.c_str(), slot), fits) << slot;
            EXPECT_LT(std::strlen(tune_name(slot)), size_t(NAME_SLOT_BYTES));
            at = stop + 1;
        }
        player_state.top_row = first + 1;
        player_state.tune_count = slot - first;
        draw_list_rows();
    }
}

}  // namespace
