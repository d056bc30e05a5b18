// Every file-name list the names fuzzer once tripped over (tests/data/names:
// two bytes, then names separated by NUL bytes) goes through the slot copy
// and the list drawing as it did there, within the table's bounds.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/player_state.h"
#include "program_test_support.h"
#include "tunes/tune_list.h"
#include "ui/frame_drawing.h"

namespace {

class fuzz_findings : public program_test {};

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
