// The error line: the engine's text, or once per scan the name a scan left
// out for being too long, as text the font draws and within the window.
#include <string>

#include "playback/tune_player.h"
#include "program_test_support.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"
#include "ui/error_line.h"

namespace {

class error_line : public program_test {};

// Characters in UTF-8 text.
int characters(const std::string &text)
{
    int n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

void load_missing(const char *name)
{
    add_tune(name, 0);
    select_slot(0);
    load_and_start(0);
}

TEST_F(error_line, a_name_too_long_is_told_once_per_scan_until_the_engine_speaks)
{
    const std::string long_name = "An extremely long tune title, far too long.ptcop";
    folder_.touch(long_name + std::string(20, 'x') + ".ptcop");
    folder_.touch("fine.ptcop");
    scan_folder();
    const std::string note = "name too long: An extremely long ..";
    EXPECT_EQ(error_line_text(), note);
    EXPECT_EQ(characters(note), TOO_LONG_LINE_CHARS);
    EXPECT_EQ(error_line_text(), note) << "it stays from frame to frame";

    load_missing("gone.ptcop");
    EXPECT_STREQ(error_line_text(), "cannot open: gone.ptcop");

    clear_tune_list();
    scan_folder();
    EXPECT_EQ(error_line_text(), note) << "told again by the next scan";
    load_missing("gone.ptcop");
    EXPECT_STREQ(error_line_text(), "cannot open: gone.ptcop") << "the same failure again is news";

    std::filesystem::remove(folder_.path() / (long_name + std::string(20, 'x') + ".ptcop"));
    clear_tune_list();
    scan_folder();
    EXPECT_STREQ(error_line_text(), "cannot open: gone.ptcop") << "a scan with nothing to tell";
}

TEST_F(error_line, names_that_are_not_utf8_are_drawn_as_latin1)
{
    folder_.touch(std::string(60, '\xe9') + ".ptcop");
    scan_folder();
    std::string shown = error_line_text();
    EXPECT_EQ(shown.substr(0, 19), "name too long: \xc3\xa9\xc3\xa9");
    EXPECT_EQ(characters(shown), TOO_LONG_LINE_CHARS);

    load_missing("caf\xe9 au lait.ptcop");
    EXPECT_STREQ(error_line_text(), "cannot open: caf\xc3\xa9 au lait.ptcop");
}

}  // namespace
