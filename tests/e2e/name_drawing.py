"""What a list row shows for a file name given as bytes, which need not be
UTF-8: the program reads a name that is not UTF-8 as Latin-1 (one character
per byte), shortens it as skin_model.display_name does, and Allegro's font
draws "^" for a character it lacks."""
MISSING = "^"   # Allegro's stand-in glyph
FONT_CODES = set(range(32, 127)) | set(range(160, 256))


def drawn_text(data):
    """The characters drawn for the bytes `data`."""
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        text = data.decode("latin-1")
    return "".join(c if ord(c) in FONT_CODES else MISSING for c in text)


def row_text(file_name):
    """The text a list row shows for the file name `file_name` (bytes)."""
    dot = file_name.find(b".")
    if dot >= 0 and file_name[dot:].lower() >= b".pt":  # lower(): ASCII letters only
        file_name = file_name[:dot]
    text = drawn_text(file_name)
    return text if len(text) <= 23 else text[:20] + "..."
