// The tune list and the folder scan, on real temporary folders.
#include <set>
#include <string>
#include <vector>

#include "app/player_state.h"
#include "program_test_support.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"

namespace {

class folder_scan : public program_test {};

std::vector<std::string> tune_names_listed()
{
    std::vector<std::string> names;
    for (int k = 0; k < player_state.tune_count; k++)
        names.push_back(tune_name(k));
    return names;
}

std::string names_in_list()
{
    std::string all;
    for (int k = 0; k < player_state.tune_count; k++)
        all += std::string(tune_name(k)) + ";";
    return all;
}

TEST_F(folder_scan, lists_ptcop_matches_before_pttune_matches_in_any_case)
{
    for (const char *n : {"c.pttune", "a.pttune", "Tune.PtTune", "b.PTTUNE", "x.ptcop", "y.ptcop",
                          "SONG.PTCOP", "z.txt", "w.ptcopx", "v.ptcop.txt"})
        folder_.touch(n);
    player_state.top_row = 4;
    scan_folder();
    EXPECT_EQ(player_state.tune_count, 7);
    EXPECT_EQ(player_state.list_length, 10);
    EXPECT_EQ(player_state.top_row, 1);
    std::vector<std::string> names = tune_names_listed();
    ASSERT_EQ(names.size(), 7u);
    std::set<std::string> ptcop(names.begin(), names.begin() + 3);
    std::set<std::string> pttune(names.begin() + 3, names.end());
    EXPECT_EQ(ptcop, (std::set<std::string>{"x.ptcop", "y.ptcop", "SONG.PTCOP"}));
    EXPECT_EQ(pttune, (std::set<std::string>{"c.pttune", "a.pttune", "Tune.PtTune", "b.PTTUNE"}));
    EXPECT_STREQ(tune_name(7), "");
}

TEST_F(folder_scan, each_group_keeps_the_order_the_folder_gives)
{
    for (int k = 0; k < 40; k++)
        folder_.touch("t" + std::to_string(k) + (k % 3 ? ".ptcop" : ".PTTUNE"));
    scan_folder();
    std::vector<std::string> want;
    for (const char *ending : {".ptcop", ".PTTUNE"})
        for (const auto &entry : std::filesystem::directory_iterator("."))
            if (entry.path().extension() == ending)
                want.push_back(entry.path().filename().string());
    EXPECT_EQ(tune_names_listed(), want);
}

TEST_F(folder_scan, names_are_kept_as_the_bytes_the_folder_holds)
{
    const std::string latin1 = "caf\xe9 au lait.ptcop", broken = "\xff\xfe\xc3(.PtTune";
    folder_.touch(latin1);
    folder_.touch(broken);
    scan_folder();
    ASSERT_EQ(player_state.tune_count, 2);
    EXPECT_EQ(tune_names_listed(), (std::vector<std::string>{latin1, broken}));
    EXPECT_EQ(scan_report.long_name[0], '\0');
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

TEST_F(folder_scan, names_too_long_for_a_slot_are_left_out_and_the_first_reported)
{
    std::string name63 = std::string(57, 'a') + ".ptcop";   // 63 bytes
    std::string name64 = std::string(58, 'b') + ".ptcop";   // 64 bytes
    std::string name200 = std::string(193, 'c') + ".pttune"; // 200 bytes
    std::string name255 = std::string(248, 'd') + ".PTCOP";  // the longest a folder takes
    for (const std::string &n : {name63, name64, name200, name255})
        folder_.touch(n);
    folder_.touch("short.pttune");
    int32_t scans = scan_report.scans;
    scan_folder();
    EXPECT_EQ(names_in_list(), name63 + ";short.pttune;");
    EXPECT_EQ(scan_report.scans, scans + 1);
    // The ".ptcop" names are looked at first, in the folder's order.
    std::string reported = scan_report.long_name;
    EXPECT_TRUE(reported == name64 || reported == name255) << reported;

    std::filesystem::remove(name64);
    std::filesystem::remove(name200);
    std::filesystem::remove(name255);
    clear_tune_list();
    scan_folder();
    EXPECT_EQ(scan_report.scans, scans + 2);
    EXPECT_STREQ(scan_report.long_name, "") << "a scan without long names reports none";
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
