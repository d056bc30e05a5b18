// Tune names and comments: the engine's own code page 932 table, checked
// against the system's converter on every code, and the choice between
// UTF-8, code page 932 and code page 1252 on whole texts.
#include <gtest/gtest.h>

#include <iconv.h>

#include "api/cp932.h"
#include "api/tune_text.h"

namespace {

// The one character iconv makes of `in` as CP932, 0 when it refuses it,
// and -1 when it makes more than one character of it.
int64_t system_cp932(iconv_t cd, std::string in) {
    char32_t out[4];
    char *ip = in.data(), *op = reinterpret_cast<char *>(out);
    size_t il = in.size(), ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1) || il != 0) return 0;
    return sizeof out - ol == 4 ? int64_t(out[0]) : -1;
}

}  // namespace

TEST(TuneText, Cp932TableReadsEveryPairAsTheSystemConverterDoes) {
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    ASSERT_NE(cd, iconv_t(-1));
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        if (lead >= 0xA0 && lead < 0xE0) continue;  // single-byte characters
        for (int trail = 0; trail <= 0xFF; trail++) {
            const int64_t want = system_cp932(cd, std::string{char(lead), char(trail)});
            ASSERT_NE(want, -1) << "taken as two characters: " << std::hex << lead << " " << trail;
            ASSERT_EQ(pxtone::cp932_pair(uint8_t(lead), uint8_t(trail)), want) << std::hex << lead << " " << trail;
            mapped += want != 0;
        }
    }
    iconv_close(cd);
    EXPECT_EQ(mapped, 9604);  // JIS X 0208, NEC row 13, both IBM sets, 1880 private use
}

TEST(TuneText, TextIsReadAsUtf8ElseCp932ElseCp1252) {
    const struct {
        const char *bytes, *text;
    } cases[] = {
        {"caf\xc3\xa9", "café"},                                     // UTF-8 stays
        {"\x83\x65\x83\x58\x83\x67", "テスト"},                       // Shift JIS
        {"\xba\xdd\xcb\xdf\xad\xb0\xc0\xb0", "ｺﾝﾋﾟｭｰﾀｰ"},               // half-width katakana
        {"\x87\x40\xed\x40\xfa\x40", "①纊ⅰ"},                          // NEC and IBM rows
        {"\xf0\x40", "\xee\x80\x80"},                                 // user-defined: private use
        {"caf\xe9", "café"},                                          // Latin: not a CP932 pair
        {"\x80 euro", "€ euro"},                                      // a byte CP932 leaves out
        {"\x83\x65\x83", "ƒeƒ"},                                      // a lead byte at the end
        {"\x81\x7f", "??"},                                           // no such pair: 1252, unused and DEL
        {"a\x81\x40\tb\r\nc\x1b", "a\xe3\x80\x80 b\nc?"},             // controls after decoding
    };
    for (const auto &c : cases) EXPECT_EQ(pxtone::tune_text(c.bytes), c.text) << c.bytes;
}
