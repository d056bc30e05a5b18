#include "ui/name_text.h"

#include <cstdint>
#include <cstring>

/* The bytes of the UTF-8 sequence at p (at most left bytes) and its
 * character; 0 when the bytes there are no valid sequence (overlong forms,
 * surrogates and values past U+10FFFF included). */
static size_t utf8_sequence(const unsigned char *p, size_t left, uint32_t *code)
{
    static const uint32_t LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
    size_t n = p[0] < 0x80 ? 1 : (p[0] & 0xE0) == 0xC0 ? 2 : (p[0] & 0xF0) == 0xE0 ? 3
             : (p[0] & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || n > left)
        return 0;
    uint32_t c = n == 1 ? p[0] : p[0] & (0x7F >> n);
    for (size_t k = 1; k < n; k++) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (p[k] & 0x3F);
    }
    if (c < LEAST[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *code = c;
    return n;
}

static bool is_utf8(const unsigned char *p, size_t length)
{
    uint32_t ignored;
    for (size_t at = 0; at < length;) {
        size_t n = utf8_sequence(p + at, length - at, &ignored);
        if (n == 0)
            return false;
        at += n;
    }
    return true;
}

/* Appends characters as UTF-8 while they fit, leaving room for the NUL. */
struct text_writer {
    char *out;
    size_t size;
    size_t used;
    int chars;

    bool put(uint32_t c)
    {
        unsigned char b[4];
        size_t n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (n == 1) {
            b[0] = static_cast<unsigned char>(c);
        } else {
            for (size_t k = n - 1; k > 0; k--, c >>= 6)
                b[k] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            b[0] = static_cast<unsigned char>((0xF00 >> n) | c);
        }
        if (used + n >= size)
            return false;
        std::memcpy(out + used, b, n);
        used += n;
        chars++;
        return true;
    }
};

int name_text(const char *name, size_t length, int max_chars, const char *mark, char *out,
              size_t out_size)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(name);
    bool utf8 = is_utf8(bytes, length);
    size_t total = 0;
    uint32_t c = 0;
    for (size_t at = 0; at < length; total++)
        at += utf8 ? utf8_sequence(bytes + at, length - at, &c) : 1;
    int mark_chars = static_cast<int>(std::strlen(mark));
    bool cut = total > static_cast<size_t>(max_chars);
    int keep = cut ? max_chars - mark_chars : max_chars;
    text_writer w{out, out_size, 0, 0};
    for (size_t at = 0; at < length && w.chars < keep;) {
        if (utf8) {
            at += utf8_sequence(bytes + at, length - at, &c);
        } else {
            c = bytes[at];
            at++;
        }
        if (!w.put(c))
            break;
    }
    for (int k = 0; cut && k < mark_chars && w.put(static_cast<unsigned char>(mark[k])); k++) {
    }
    out[w.used] = '\0';
    return w.chars;
}
