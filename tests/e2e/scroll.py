"""The scroll arrows and the Up and Down keys move the list: a short press
one row; held, one row at once, the next 0.6 s later (18 frames), then one
every second frame (15 a second), the held arrow drawn held meanwhile; the
list stops with its last tune on the last row, and at the top."""
import time

import numpy as np

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run

TUNES = 60
LAST_TOP = TUNES - 9


def top_row(jb):
    return jb.screen().top_row


def short_press(jb, press, want):
    press()
    s = jb.wait_screen(f"top row {want}", 2, lambda s: s.top_row == want)
    time.sleep(0.3)  # a press held a few frames steps once, never again
    if top_row(jb) != want:
        raise TestFailure(f"a short press moved the list on to {top_row(jb)}")
    if s.up_held or s.down_held:
        raise TestFailure("an arrow still drawn held after the press")


def held(jb, down, up, seconds, arrow):
    """Holds a control for `seconds`, reading the window meanwhile; returns
    the times (from the press) at which the top row changed, and the rows."""
    t0 = time.monotonic()
    start = top_row(jb)
    down()
    times, rows, held_seen = [], [start], False
    while time.monotonic() - t0 < seconds:
        taken = time.monotonic() - t0  # the window is grabbed first, then read
        s = jb.screen()
        held_seen |= (s.down_held if arrow == "down" else s.up_held)
        if s.top_row != rows[-1]:
            times.append(taken)
            rows.append(s.top_row)
        time.sleep(0.03)
    up()
    if not held_seen:
        raise TestFailure(f"the {arrow} arrow was never drawn held")
    return times, rows


def check_repeat(times, rows, step, what):
    """One row at once, the next after about 0.6 s, then about 15 a second.
    Readings come less often than the repeats (and later still on a busy
    machine), so a reading may see several steps at once; only the first
    step stands alone, 0.6 s before the next. On a busy machine a reading
    can come a few tenths of a second late, and the program can work off in
    a burst the frames it was kept from, so the rate is fitted over every
    reading after the first repeat."""
    moves = [b - a for a, b in zip(rows, rows[1:])]
    if len(times) < 4 or moves[0] != step or any(m * step <= 0 for m in moves):
        raise TestFailure(f"{what}: rows {rows}")
    first_gap = times[1] - times[0]
    # rows[k + 1] was first seen at times[k]
    rate = abs(np.polyfit(np.array(times[1:]), np.array(rows[2:], float), 1)[0])
    print(f"{what}: first step at {times[0]:.2f} s, the next {first_gap:.2f} s later, "
          f"then {rate:.1f} rows a second")
    if times[0] > 1.0 or not 0.15 < first_gap < 1.3 or not 12 < rate < 18:
        raise TestFailure(f"{what}: not the 0.6 s delay and 15 rows a second; rows {rows} "
                          f"at {['%.2f' % t for t in times]}")


def test():
    with Jukebox() as jb:
        for i in range(TUNES):
            jb.add_tune("song %02d.ptcop" % (i + 1), 30, [0])
        jb.start()
        s = jb.screen()
        if s.top_row != 1 or s.up_held or s.down_held:
            raise TestFailure(s.describe())

        short_press(jb, lambda: jb.click(*sm.DOWN_ARROW_CENTRE), 2)
        short_press(jb, lambda: jb.key("Down"), 3)
        short_press(jb, lambda: jb.key("Up"), 2)
        short_press(jb, lambda: jb.click(*sm.UP_ARROW_CENTRE), 1)

        times, rows = held(jb, lambda: jb.mouse_down(*sm.DOWN_ARROW_CENTRE), jb.mouse_up,
                           3.0, "down")
        jb.park()
        check_repeat(times, rows, 1, "down arrow held")
        times, rows = held(jb, lambda: jb.key_down("Up"), lambda: jb.key_up("Up"), 2.6, "up")
        check_repeat(times, rows, -1, "Up held")
        if rows[-1] == 1:
            raise TestFailure("Up held reached the top: the list is too short to tell")

        # Held on past either end, the list stops there.
        times, rows = held(jb, lambda: jb.key_down("Down"), lambda: jb.key_up("Down"), 6.5,
                           "down")
        s = jb.screen()
        if s.top_row != LAST_TOP or s.rows[-1].number != TUNES or \
                max(rows + [s.top_row]) != LAST_TOP:
            raise TestFailure(f"Down held past the end: rows {rows}, {s.describe()}")
        times, rows = held(jb, lambda: jb.mouse_down(*sm.UP_ARROW_CENTRE), jb.mouse_up,
                           6.5, "up")
        jb.park()
        s = jb.screen()
        if s.top_row != 1 or min(rows + [s.top_row]) != 1:
            raise TestFailure(f"up arrow held past the top: rows {rows}, {s.describe()}")


if __name__ == "__main__":
    run(test)
