// The error texts: what each failure says, that they fit the program's foot
// line, and that a text stays until the next failure.
#include <cstring>
#include <fstream>

#include "interface/interface_error.h"
#include "stream_engine_fixture.h"

namespace {

using ErrorTexts = EngineOnFakeDevice;

bool starts_with(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

void write_bytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

TEST_F(ErrorTexts, EachFailureSaysWhatWentWrong) {
    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, (dir.path() + "/gone.ptcop").c_str()), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "cannot open: gone.ptcop");

    std::string junk = dir.file("junk.ptcop");
    write_bytes(junk, std::vector<uint8_t>(300, 0x5a));
    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, junk.c_str()), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "not a tune: junk.ptcop");

    std::vector<uint8_t> whole = tune_builder::build(held_note_song(1));
    std::string cut = dir.file("cut.ptcop");
    write_bytes(cut, std::vector<uint8_t>(whole.begin(), whole.begin() + 40));
    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, cut.c_str()), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "damaged tune: cut.ptcop");

    int resource = 0;
    EXPECT_EQ(pxtone_Tune_Load(&resource, "PTCOP", "a"), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "no resource tunes");

    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, nullptr), 0);
    EXPECT_TRUE(starts_with(pxtone_GetLastError(), "cannot open: ")) << pxtone_GetLastError();
    EXPECT_EQ(pxtone_Tune_Load(nullptr, nullptr, ""), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "cannot open: (no name)");

    // A failed load's reason is not replaced by what follows it.
    EXPECT_EQ(pxtone_Tune_Start(0, 0), 0);
    EXPECT_EQ(pxtone_Tune_GetInformation(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "cannot open: (no name)");
    pxtone_Tune_Release();
    EXPECT_EQ(pxtone_Tune_GetInformation(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(pxtone_GetLastError(), "no tune loaded");
}

TEST_F(ErrorTexts, LongNamesAreCutToFitTheFootLine) {
    for (size_t length : {23u, 24u, 63u, 64u, 200u}) {
        std::string name(length, 'n');
        pxtone_Tune_Load(nullptr, nullptr, (dir.path() + "/" + name).c_str());
        const char *text = pxtone_GetLastError();
        EXPECT_LE(std::strlen(text), pxtone::ERROR_TEXT_MAX) << text;
        EXPECT_TRUE(starts_with(text, "cannot open: n")) << text;
    }
}

TEST_F(ErrorTexts, ATextStaysUntilTheNextFailure) {
    pxtone_Tune_Start(0, 0);
    std::string path = write_tune(dir, "a.ptcop", held_note_song(1));
    play(path);
    out.pump(15);
    pxtone_Tune_Stop();
    pxtone_Tune_Release();
    EXPECT_STREQ(pxtone_GetLastError(), "no tune loaded");
}

TEST(ErrorText, FitCutsAtACharacterAndMarksTheCut) {
    EXPECT_EQ(pxtone::fit_error_text("short"), "short");
    std::string exact(36, 'x');
    EXPECT_EQ(pxtone::fit_error_text(exact), exact);
    EXPECT_EQ(pxtone::fit_error_text(exact + "y"), std::string(34, 'x') + "..");
    // "é" is two bytes; the cut falls inside the one at bytes 33..34.
    std::string accents = std::string(33, 'a') + "\xc3\xa9\xc3\xa9\xc3\xa9";
    EXPECT_EQ(pxtone::fit_error_text(accents), std::string(33, 'a') + "..");
    // Bytes that are not UTF-8 at all are cut like any others.
    std::string raw(40, '\xff');
    EXPECT_EQ(pxtone::fit_error_text(raw).size(), 36u);
}

TEST(ErrorText, AReadTextStaysPutUntilTheNextRead) {
    pxtone::ErrorText error;
    EXPECT_STREQ(error.read(), "");
    error.set("first");
    const char *first = error.read();
    EXPECT_EQ(error.read(), first) << "unchanged text, same pointer";
    error.set("second");
    EXPECT_STREQ(first, "first") << "a set does not touch what was handed out";
    const char *second = error.read();
    EXPECT_STREQ(second, "second");
    EXPECT_STREQ(first, "first") << "nor does the next read";
}

}  // namespace
