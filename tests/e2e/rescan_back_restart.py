"""The other three momentary buttons, each lit while held: rescan reads the
folder again (a tune added shows up, a removed one goes) and leaves the
playing tune playing; back returns to the tune played before, and twice
swaps back; restart plays the current tune again from its start."""
import os

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run

RESCAN, BACK, RESTART = 0, 2, 5
SECONDS = 20.0


def names(s):
    return sorted(r.name for r in s.rows if r.name)


def playing(jb, tune, what, min_bar=1):
    return jb.wait_screen(what, 3, lambda s: s.current_tune == tune and s.bar_width >= min_bar)


def test():
    with Jukebox() as jb:
        jb.add_tune("oak.ptcop", SECONDS, [0])
        jb.add_tune("elm.ptcop", SECONDS, [4])
        jb.start()
        jb.key("space")
        playing(jb, 1, "tune 1 playing", min_bar=10)
        first = jb.screen().rows[0].name

        jb.add_tune("ash.pttune", SECONDS, [7])
        os.remove(os.path.join(jb.folder, ("elm" if first == "oak" else "oak") + ".ptcop"))
        before = jb.screen().bar_width
        s = jb.press_button(RESCAN)
        if names(s) != sorted([first, "ash"]):
            raise TestFailure(f"after rescan: {s.describe()}")
        if s.current_tune != 1 or s.bar_width < before:
            raise TestFailure(f"rescan disturbed the playing tune: {s.describe()}")

        jb.click(*sm.row_centre(1))
        playing(jb, 2, "tune 2 picked")
        jb.press_button(BACK)
        playing(jb, 1, "back on tune 1")
        s = jb.screen()
        if s.bar_width > 0.3 * sm.FILL_MAX:
            raise TestFailure(f"back did not start tune 1 from its start: {s.describe()}")
        jb.press_button(BACK)
        playing(jb, 2, "back again on tune 2")

        s = playing(jb, 2, "tune 2 on its way", min_bar=25)
        grown = s.bar_width
        jb.press_button(RESTART)
        s = jb.wait_screen("tune 2 from its start", 3,
                           lambda s: s.current_tune == 2 and 0 < s.bar_width < grown - 10)
        if s.error:
            raise TestFailure(s.describe())


if __name__ == "__main__":
    run(test)
