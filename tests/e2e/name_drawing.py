"""What a list row shows for a file name given as bytes, which need not be
UTF-8: the program shortens the bytes (skin_model.display_name) and Allegro
draws them as UTF-8, where a sequence broken off by a byte that does not
continue it, and a character the font lacks, both come out as "^"."""
import skin_model as sm

MISSING = "^"   # Allegro's stand-in glyph
FONT_CODES = set(range(32, 127)) | set(range(160, 256))


def _decode_one(data, at):
    """(character code, next index) for the sequence at data[at], as
    Allegro's UTF-8 reader takes it: a broken sequence gives MISSING and
    resumes at the byte that broke it."""
    c = data[at]
    at += 1
    if not c & 0x80:
        return c, at
    n = 1
    while n < 8 and c & (0x80 >> n):
        n += 1
    c &= (1 << (8 - n)) - 1
    for _ in range(n - 1):
        t = data[at] if at < len(data) else 0
        if not t & 0x80 or t & 0x40:
            return ord(MISSING), at
        at += 1
        c = c << 6 | (t & 0x3F)
    return c, at


def drawn_text(data):
    """The characters Allegro's font draws for the bytes `data`."""
    out, at = [], 0
    while at < len(data):
        code, at = _decode_one(data, at)
        out.append(chr(code) if code in FONT_CODES else MISSING)
    return "".join(out)


def row_text(file_name):
    """The text a list row shows for the file name `file_name` (bytes)."""
    # Latin-1 keeps one character per byte, so the shortening counts bytes.
    shown = sm.display_name(file_name.decode("latin-1")).encode("latin-1")
    return drawn_text(shown)
