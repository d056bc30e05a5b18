// The tune list and the folder scan, on real temporary folders.
#include <string>

#include "app/player_state.h"
#include "program_test_support.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"

namespace {

class folder_scan : public program_test {};

std::string names_in_list()
{
    std::string all;
    for (int k = 0; k < player_state.tune_count; k++)
        all += std::string(tune_name(k)) + ";";
    return all;
}

TEST_F(folder_scan, lists_ptcop_matches_before_pttune_matches)
{
    for (const char *n : {"c.pttune", "a.pttune", "b.pttune", "x.ptcop", "y.ptcop", "z.txt",
                          "w.ptcopx", "SONG.PTCOP"})
        folder_.touch(n);
    player_state.top_row = 4;
    scan_folder();
    EXPECT_EQ(player_state.tune_count, 5);
    EXPECT_EQ(player_state.list_length, 10);
    EXPECT_EQ(player_state.top_row, 1);
    std::string first_two = std::string(tune_name(0)) + tune_name(1);
    EXPECT_TRUE(first_two == "x.ptcopy.ptcop" || first_two == "y.ptcopx.ptcop") << first_two;
    for (int k = 2; k < 5; k++)
        EXPECT_EQ(std::string(tune_name(k)).substr(1), ".pttune") << k;
    EXPECT_STREQ(tune_name(5), "");
}

TEST_F(folder_scan, empty_folder_gives_ten_empty_rows)
{
    scan_folder();
    EXPECT_EQ(player_state.tune_count, 0);
    EXPECT_EQ(player_state.list_length, 10);
}

TEST_F(folder_scan, list_length_follows_the_count_above_nine)
{
    for (int k = 0; k < 12; k++)
        folder_.touch("t" + std::to_string(k) + ".ptcop");
    scan_folder();
    EXPECT_EQ(player_state.tune_count, 12);
    EXPECT_EQ(player_state.list_length, 12);
}

TEST_F(folder_scan, names_that_do_not_fit_a_slot_are_skipped)
{
    std::string name63 = std::string(57, 'a') + ".ptcop";   // 63 bytes
    std::string name64 = std::string(58, 'b') + ".ptcop";   // 64 bytes
    std::string name200 = std::string(193, 'c') + ".pttune"; // 200 bytes
    folder_.touch(name63);
    folder_.touch(name64);
    folder_.touch(name200);
    folder_.touch("short.pttune");
    scan_folder();
    EXPECT_EQ(names_in_list(), name63 + ";short.pttune;");
}

TEST_F(folder_scan, a_folder_named_like_a_tune_is_listed)
{
    std::filesystem::create_directory(folder_.path() / "album.ptcop");
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 1);
    EXPECT_STREQ(tune_name(0), "album.ptcop");
}

TEST_F(folder_scan, keeps_the_first_999_matches_of_more)
{
    for (int k = 0; k < 1005; k++)
        folder_.touch("t" + std::to_string(k) + (k % 2 ? ".ptcop" : ".pttune"));
    scan_folder();
    EXPECT_EQ(player_state.tune_count, TUNE_CAPACITY);
    EXPECT_EQ(player_state.list_length, TUNE_CAPACITY);
    EXPECT_NE(std::string(tune_name(TUNE_CAPACITY - 1)), "");
    // All 502 ".ptcop" files come first, then as many ".pttune" as fit.
    EXPECT_EQ(std::string(tune_name(501)).find(".ptcop") != std::string::npos, true);
    EXPECT_EQ(std::string(tune_name(502)).find(".pttune") != std::string::npos, true);
}

TEST(tune_list, select_slot_wraps_indices_outside_the_table)
{
    select_slot(5);
    EXPECT_EQ(selected_slot(), 5);
    select_slot(-1);
    EXPECT_EQ(selected_slot(), TUNE_CAPACITY - 1);
    select_slot(TUNE_CAPACITY);
    EXPECT_EQ(selected_slot(), 0);
    select_slot(0);
}

TEST(tune_list, add_tune_refuses_what_does_not_fit)
{
    clear_tune_list();
    EXPECT_TRUE(add_tune(std::string(63, 'n').c_str(), 0));
    EXPECT_FALSE(add_tune(std::string(64, 'n').c_str(), 1));
    EXPECT_FALSE(add_tune("x", TUNE_CAPACITY));
    EXPECT_FALSE(add_tune("x", -1));
    EXPECT_EQ(std::string(tune_name(0)).size(), 63u);
    EXPECT_STREQ(tune_name(1), "");
    EXPECT_STREQ(tune_name(TUNE_CAPACITY), "");
    EXPECT_STREQ(tune_name(-1), "");
    clear_tune_list();
    EXPECT_STREQ(tune_name(0), "");
}

}  // namespace
