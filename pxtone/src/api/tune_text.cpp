#include "api/tune_text.h"

#include "api/cp932.h"

#include <cstdint>

namespace pxtone {

namespace {

// Length of the UTF-8 sequence at s[i] and its code point, or 0 when it
// is not a valid one (overlong forms and surrogates included).
size_t utf8_at(const std::string &s, size_t i, uint32_t &cp) {
    const auto byte = [&](size_t k) { return uint8_t(s[k]); };
    const uint8_t b = byte(i);
    size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    cp = n == 1 ? b : n == 2 ? b & 0x1Fu : n == 3 ? b & 0x0Fu : b & 0x07u;
    for (size_t k = 1; k < n; k++) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    static const uint32_t LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < LEAST[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool valid_utf8(const std::string &s) {
    uint32_t cp = 0;
    for (size_t i = 0, n; i < s.size(); i += n)
        if ((n = utf8_at(s, i, cp)) == 0) return false;
    return true;
}

void append_utf8(std::string &out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The text read as code page 932, or "" when it is not that: a byte or pair
// the code page leaves undefined, or a lead byte at the end.
std::string from_cp932(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        const uint8_t b = uint8_t(s[i]);
        uint32_t cp = 0;
        if (b < 0x80) cp = b;
        else if (b >= 0xA1 && b <= 0xDF) cp = 0xFF61 + (b - 0xA1u);  // half-width katakana
        else if (i + 1 < s.size()) cp = cp932_pair(b, uint8_t(s[++i]));
        if (cp == 0 && b != 0) return "";
        append_utf8(out, cp);
    }
    return out;
}

// Code page 1252's characters for bytes 0x80..0x9F (0: unused); the bytes
// above are Latin-1.
const uint16_t CP1252_HIGH[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

std::string from_cp1252(const std::string &s) {
    std::string out;
    for (char c : s) {
        const uint8_t b = uint8_t(c);
        const uint32_t cp = b < 0x80 || b >= 0xA0 ? b : CP1252_HIGH[b - 0x80];
        append_utf8(out, cp == 0 ? '?' : cp);
    }
    return out;
}

// Keeps printable characters of valid UTF-8 text.
std::string printable(const std::string &s) {
    std::string out;
    uint32_t cp;
    for (size_t i = 0, n; i < s.size(); i += n) {
        n = utf8_at(s, i, cp);
        if (cp == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        if (cp == '\r' || cp == '\n') out += '\n';
        else if (cp == '\t') out += ' ';
        else if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) out += '?';
        else out.append(s, i, n);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace

std::string tune_text(const std::string &bytes) {
    if (valid_utf8(bytes)) return printable(bytes);
    std::string text = from_cp932(bytes);
    if (text.empty()) text = from_cp1252(bytes);
    return printable(text);
}

}  // namespace pxtone
