"""Reads what the jukebox shows from a screenshot of its window: which
buttons are lit, the list rows (number, name, highlighted), the scroll
arrows, the progress bar's width and the error line. Every region must be
exactly one of the pictures the skin can make there, and the whole window
must then be the frame those readings compose; anything else raises
ScreenMismatch, so a wrongly drawn window never passes as a reading."""
from dataclasses import dataclass, field
from typing import List

import numpy as np

import skin_model as sm


class ScreenMismatch(Exception):
    pass


@dataclass
class Row:
    number: int
    name: str
    current: bool


@dataclass
class Screen:
    lit: List[bool] = field(default_factory=lambda: [False] * sm.BUTTON_COUNT)
    rows: List[Row] = field(default_factory=list)
    up_held: bool = False
    down_held: bool = False
    bar_width: int = 0   # the smallest width that draws what is shown
    error: str = ""

    @property
    def top_row(self):
        return self.rows[0].number

    @property
    def current_rows(self):
        return [j for j, r in enumerate(self.rows) if r.current]

    @property
    def current_tune(self):
        """Number of the highlighted row, or None when none is visible."""
        rows = self.current_rows
        return self.rows[rows[0]].number if rows else None

    def describe(self):
        lit = ",".join(n for n, on in zip(sm.BUTTON_NAMES, self.lit) if on) or "none"
        rows = " ".join("%s%d:%s" % ("*" if r.current else "", r.number, r.name or "-")
                        for r in self.rows)
        return (f"lit={lit} bar={self.bar_width} up={int(self.up_held)} "
                f"down={int(self.down_held)} rows=[{rows}] error={self.error!r}")


class ScreenReader:
    """Reads screenshots of a window drawn with `skin`. `tolerance` is the
    largest per-channel difference taken as equal (0 on a 24-bit display;
    a 16-bit one keeps only 5 or 6 bits a channel)."""

    def __init__(self, skin, tolerance=0):
        self.skin = skin
        self.tol = tolerance
        chars = sorted(skin.glyphs)
        chars.remove(" ")
        self.chars = [" "] + chars
        stack = np.stack([skin.glyphs[c] for c in self.chars]).reshape(len(self.chars), -1)
        self.glyph_ink = stack.astype(np.float32)
        self.glyph_blank = (~stack).astype(np.float32)
        self._fill_mask = np.zeros((sm.WINDOW_H, sm.WINDOW_W), bool)
        fx, fy = sm.FILL_PLACE
        self._fill_mask[fy:fy + 12, fx:fx + sm.FILL_MAX] = True

    def _bad(self, got, want, ignore):
        """Mask of pixels that differ by more than the tolerance."""
        diff = np.abs(got.astype(np.int16) - want.astype(np.int16)).max(axis=-1) > self.tol
        return diff & ~ignore

    def _region(self, a, x, y, w, h):
        return a[y:y + h, x:x + w]

    def _matches(self, img, want, ignore, x, y):
        h, w = want.shape[:2]
        return not self._bad(self._region(img, x, y, w, h), want,
                             self._region(ignore, x, y, w, h)).any()

    def _piece_over_backdrop(self, rect, x, y):
        canvas = self.skin.backdrop.copy()
        self.skin.draw(canvas, rect, x, y)
        return canvas

    def _which(self, img, ignore, rects, x, y, what):
        """Index of the one piece in `rects` the window shows at (x, y)."""
        x1, y1, x2, y2 = rects[0]
        w, h = x2 - x1, y2 - y1
        found = []
        for i, rect in enumerate(rects):
            want = self._region(self._piece_over_backdrop(rect, x, y), x, y, w, h)
            if self._matches(img, want, ignore, x, y):
                found.append(i)
        if len(found) != 1:
            raise ScreenMismatch(f"{what} at ({x},{y}): matches pieces {found}")
        return found[0]

    def _read_cells(self, img, background, ignore, x, y, cells):
        """Text of `cells` glyph cells from (x, y) over `background`, or None
        when a cell is no glyph in the text colour."""
        gw, gh = self.skin.glyph_w, self.skin.glyph_h

        def cut(a):
            block = a[y:y + gh, x:x + cells * gw]
            return block.reshape(gh, cells, gw, *a.shape[2:]).swapaxes(0, 1).reshape(
                cells, gh * gw, *a.shape[2:])

        got, ign = cut(img), cut(ignore)
        tc = np.broadcast_to(self.skin.text_colour, got.shape)
        not_text = self._bad(got, tc, ign).astype(np.float32)
        not_bg = self._bad(got, cut(background), ign).astype(np.float32)
        # bad[c, g]: pixels of cell c that glyph g cannot explain
        bad = not_text @ self.glyph_ink.T + not_bg @ self.glyph_blank.T
        best = np.argmin(bad, axis=1)  # the space comes first, so wins ties
        if bad[np.arange(cells), best].any():
            return None
        return "".join(self.chars[i] for i in best)

    def _read_clipped_cell(self, img, background, ignore, x, y):
        """The character of the glyph cell at (x, y) that the window's right
        edge cuts off: the first (the space first) whose visible columns
        are drawn so, or None when none is."""
        visible = sm.WINDOW_W - x
        gh = self.skin.glyph_h
        got, ign = img[y:y + gh, x:], ignore[y:y + gh, x:]
        not_text = self._bad(got, np.broadcast_to(self.skin.text_colour, got.shape), ign)
        not_bg = self._bad(got, background[y:y + gh, x:], ign)
        for c in self.chars:
            ink = self.skin.glyphs[c][:, :visible]
            if not (not_text & ink).any() and not (not_bg & ~ink).any():
                return c
        return None

    def _read_row(self, img, ignore, j):
        x, y = sm.row_place(j)
        nx_end, ny = sm.row_number_end(j)
        name_x, name_y = sm.row_name_place(j)
        gw = self.skin.glyph_w
        number_cells = 3
        name_cells = (x + 220 - name_x) // gw
        readings = []
        for current in (0, 1):
            bg = self._piece_over_backdrop(sm.ROW[current], x, y)
            number = self._read_cells(img, bg, ignore, nx_end - number_cells * gw, ny, number_cells)
            name = self._read_cells(img, bg, ignore, name_x, name_y, name_cells)
            if number is None or name is None or not number.strip().isdigit():
                continue
            row = Row(int(number), name.rstrip(), bool(current))
            want = bg.copy()
            self.skin.number(want, row.number, nx_end, ny)
            self.skin.text(want, row.name, name_x, name_y)
            if self._matches(img, self._region(want, x, y, 220, 16), ignore, x, y):
                readings.append(row)
        if len(readings) != 1:
            raise ScreenMismatch(f"list row {j}: {len(readings)} readings {readings}")
        return readings[0]

    def _read_bar(self, img, ignore):
        """Every fill width that draws what the trough shows."""
        x, y = sm.TROUGH_PLACE
        base = self._piece_over_backdrop(sm.TROUGH, x, y)
        if not self._matches(img, self._region(base, x, y, 240, 14), ignore | self._fill_mask,
                             x, y):
            raise ScreenMismatch("progress trough")
        fx, fy = sm.FILL_PLACE
        got = self._region(img, fx, fy, sm.FILL_MAX, 12)
        ign = self._region(ignore, fx, fy, sm.FILL_MAX, 12)
        empty = self._bad(got, self._region(base, fx, fy, sm.FILL_MAX, 12), ign).any(axis=0)
        # The fill reaches at least the last column that is not the empty
        # trough; a few more columns may be drawn alike (its end may be
        # transparent), so try those widths too.
        shown = int(np.nonzero(empty)[0][-1]) + 1 if empty.any() else 0
        fx1, fy1, fx2, fy2 = sm.FILL_STRIP
        found = []
        for w in range(shown, min(sm.FILL_MAX, shown + 8) + 1):
            want = base.copy()
            if w:
                self.skin.draw(want, (fx2 - w, fy1, fx2, fy2), fx, fy)
            if not self._bad(got, self._region(want, fx, fy, sm.FILL_MAX, 12), ign).any():
                found.append(w)
        if not found:
            raise ScreenMismatch("progress bar: no width fits")
        return found

    def cursor_at(self, img, pointer):
        """Whether the program's cursor is drawn with its tip at `pointer`."""
        mask = self.skin.cursor_mask(pointer)
        if not mask.any():
            return False
        want = self.skin.backdrop.copy()
        self.skin.draw(want, sm.CURSOR, *pointer)
        return not self._bad(img[mask], want[mask], np.zeros(mask.sum(), bool)).any()

    def read(self, img, pointer=None):
        """A Screen from a (228, 288, 3) screenshot; `pointer` is where the
        program's cursor is drawn (None when the pointer is outside)."""
        if img.shape[:2] != (sm.WINDOW_H, sm.WINDOW_W):
            raise ScreenMismatch(f"window is {img.shape[1]} x {img.shape[0]}")
        ignore = self.skin.cursor_mask(pointer)
        s = Screen()
        title = self._region(self._piece_over_backdrop(sm.TITLE, 0, 0), 0, 0, 288, 20)
        if not self._matches(img, title, ignore, 0, 0):
            raise ScreenMismatch("title strip")
        for k in range(sm.BUTTON_COUNT):
            rects = [sm.button_piece(k, 0), sm.button_piece(k, 1)]
            s.lit[k] = self._which(img, ignore, rects, *sm.button_place(k),
                                   sm.BUTTON_NAMES[k] + " button") == 1
        s.rows = [self._read_row(img, ignore, j) for j in range(sm.VISIBLE_ROWS)]
        s.up_held = self._which(img, ignore, sm.UP_ARROW, *sm.UP_ARROW_PLACE, "up arrow") == 1
        s.down_held = self._which(img, ignore, sm.DOWN_ARROW, *sm.DOWN_ARROW_PLACE,
                                  "down arrow") == 1
        # Widths that differ only in the fill's transparent end look alike.
        fits = self._read_bar(img, ignore)
        if fits[-1] - fits[0] > 4:
            raise ScreenMismatch(f"progress bar: widths {fits[0]}..{fits[-1]} all fit")
        s.bar_width = fits[0]
        ex, ey = sm.ERROR_PLACE
        cells = (sm.WINDOW_W - ex) // self.skin.glyph_w
        error = self._read_cells(img, self.skin.backdrop, ignore, ex, ey, cells)
        if error is not None and (sm.WINDOW_W - ex) % self.skin.glyph_w:
            last = self._read_clipped_cell(img, self.skin.backdrop, ignore,
                                           ex + cells * self.skin.glyph_w, ey)
            error = None if last is None else error + last
        if error is None:
            raise ScreenMismatch("error line: not text in the text colour")
        s.error = error.rstrip()
        whole = self.skin.frame(s, pointer)
        bad = self._bad(img, whole, np.zeros_like(ignore))
        if bad.any():
            ys, xs = np.nonzero(bad)
            raise ScreenMismatch(f"{len(xs)} pixels differ from the frame composed from the "
                                 f"readings, first at ({xs[0]},{ys[0]}): {s.describe()}")
        return s
