"""What the jukebox's window should look like, composed from the skin files
it was started with: the sheet's pieces at their places over the tiled
backdrop, magenta left out, and text in Allegro's font in the colour of the
sheet's pixel (24, 8)."""
import os
import subprocess

import numpy as np

from images import read_bmp

WINDOW_W, WINDOW_H = 288, 228
MAGENTA = np.array([255, 0, 255], np.uint8)

# Pieces of the sheet: x1, y1, x2, y2 with the right and bottom edges left out.
CURSOR = (0, 0, 16, 16)
TEXT_COLOUR_AT = (24, 8)
TROUGH = (0, 64, 240, 78)
TITLE = (0, 78, 288, 98)
FILL_STRIP = (0, 100, 240, 112)
ROW = [(0, 32, 220, 48), (0, 48, 220, 64)]          # normal, current tune
UP_ARROW = [(220, 32, 236, 48), (220, 48, 236, 64)]  # normal, held
DOWN_ARROW = [(236, 32, 252, 48), (236, 48, 252, 64)]


def button_piece(k, lit):
    return (32 + 26 * k, 16 * lit, 58 + 26 * k, 16 + 16 * lit)


# Where the pieces go in the window.
BUTTON_COUNT = 8
BUTTON_NAMES = ["rescan", "shuffle", "back", "stop", "play", "restart", "loop", "exit"]


def button_place(k):
    return (6, 28 + 25 * k)


VISIBLE_ROWS = 10
ROW_PITCH = 17


def row_place(j):
    return (40, 50 + ROW_PITCH * j)


def row_number_end(j):
    return (67, 55 + ROW_PITCH * j)


def row_name_place(j):
    return (74, 54 + ROW_PITCH * j)


UP_ARROW_PLACE = (264, 50)
DOWN_ARROW_PLACE = (264, 203)
TROUGH_PLACE = (40, 29)
FILL_PLACE = (41, 30)
FILL_MAX = 240
TITLE_PLACE = (0, 0)
ERROR_PLACE = (2, 219)

# Where a press counts: the centre of each control's hit area.
def button_centre(k):
    return (19, 35 + 25 * k)


def row_centre(j):
    return (150, 57 + ROW_PITCH * j)


UP_ARROW_CENTRE = (271, 57)
DOWN_ARROW_CENTRE = (271, 210)


def load_glyphs(tool):
    """Allegro's built-in font as {character: bool array (height, width)},
    from the allegro_glyphs helper."""
    out = subprocess.run([tool], check=True, capture_output=True, text=True).stdout
    glyphs = {}
    for line in out.splitlines():
        fields = line.split()
        code, width = int(fields[0]), int(fields[1])
        rows = [int(v, 16) for v in fields[2:]]
        bits = np.array([[(r >> (width - 1 - x)) & 1 for x in range(width)] for r in rows], bool)
        glyphs[chr(code)] = bits
    return glyphs


def display_name(file_name):
    """The name as a list row shows it: cut at the first dot when the text
    from there sorts at or after ".pt" (ASCII letters in any case), and
    longer than 23 characters shown as its first 20 and "..."."""
    dot = file_name.find(".")
    if dot >= 0 and file_name[dot:].encode().lower() >= b".pt":
        file_name = file_name[:dot]
    if len(file_name) > 23:
        file_name = file_name[:20] + "..."
    return file_name


class Skin:
    """The two skin images of a folder, and the pictures made from them."""

    def __init__(self, folder, glyphs):
        self.sheet = read_bmp(os.path.join(folder, "UI.bmp"))
        tile = read_bmp(os.path.join(folder, "BG.bmp"))
        reps_y = WINDOW_H // tile.shape[0] + 1
        reps_x = WINDOW_W // tile.shape[1] + 1
        self.backdrop = np.tile(tile, (reps_y, reps_x, 1))[:WINDOW_H, :WINDOW_W]
        x, y = TEXT_COLOUR_AT
        self.text_colour = self.sheet[y, x].copy()
        self.glyphs = glyphs
        self.glyph_w = glyphs["0"].shape[1]
        self.glyph_h = glyphs["0"].shape[0]

    def piece(self, rect):
        x1, y1, x2, y2 = rect
        return self.sheet[y1:y2, x1:x2]

    def draw(self, canvas, rect, x, y):
        """Draws a piece onto a window-sized canvas, magenta left out and
        anything past the window's edges cut off."""
        p = self.piece(rect)
        h = min(p.shape[0], WINDOW_H - y)
        w = min(p.shape[1], WINDOW_W - x)
        if h <= 0 or w <= 0:
            return
        p = p[:h, :w]
        solid = ~np.all(p == MAGENTA, axis=2)
        canvas[y:y + h, x:x + w][solid] = p[solid]

    def text(self, canvas, text, x, y):
        for i, ch in enumerate(text):
            g = self.glyphs.get(ch, self.glyphs["?"])
            cx = x + i * self.glyph_w
            region = canvas[y:y + self.glyph_h, cx:cx + self.glyph_w]
            region[g[:region.shape[0], :region.shape[1]]] = self.text_colour

    def number(self, canvas, n, x_end, y):
        s = "%d" % n
        self.text(canvas, s, x_end - len(s) * self.glyph_w, y)

    def frame(self, screen, pointer=None):
        """The whole window as it should show `screen` (a Screen from
        screen_reading), with the cursor at `pointer` when given."""
        c = self.backdrop.copy()
        self.draw(c, TITLE, *TITLE_PLACE)
        for k in range(BUTTON_COUNT):
            self.draw(c, button_piece(k, 1 if screen.lit[k] else 0), *button_place(k))
        self.draw(c, TROUGH, *TROUGH_PLACE)
        w = min(max(screen.bar_width, 0), FILL_MAX)
        if w:
            x1, y1, x2, y2 = FILL_STRIP
            self.draw(c, (x2 - w, y1, x2, y2), *FILL_PLACE)
        for j, row in enumerate(screen.rows):
            self.draw(c, ROW[1 if row.current else 0], *row_place(j))
            self.number(c, row.number, *row_number_end(j))
            self.text(c, row.name, *row_name_place(j))
        self.draw(c, UP_ARROW[1 if screen.up_held else 0], *UP_ARROW_PLACE)
        self.draw(c, DOWN_ARROW[1 if screen.down_held else 0], *DOWN_ARROW_PLACE)
        self.text(c, screen.error, *ERROR_PLACE)
        if pointer is not None:
            self.draw(c, CURSOR, *pointer)
        return c

    def cursor_mask(self, pointer):
        """Window pixels the cursor covers with the pointer at `pointer`."""
        mask = np.zeros((WINDOW_H, WINDOW_W), bool)
        if pointer is None:
            return mask
        x, y = pointer
        p = self.piece(CURSOR)
        h = max(0, min(p.shape[0], WINDOW_H - y))
        w = max(0, min(p.shape[1], WINDOW_W - x))
        if x < 0 or y < 0 or h == 0 or w == 0:
            return mask
        mask[y:y + h, x:x + w] = ~np.all(p[:h, :w] == MAGENTA, axis=2)
        return mask
