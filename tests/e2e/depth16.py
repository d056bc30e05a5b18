"""On a 16-bit display (Xvfb at depth 16) the skin is drawn right: every
piece, the text and the cursor read back as the skin files make them, to
within what 5 or 6 bits a channel keep, and a picked row lights up and
plays."""
import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run

SHUFFLE, EXIT = 1, 7


def test():
    with Jukebox(depth=16) as jb:
        jb.add_tune("first.ptcop", 8, [0, 4])
        jb.add_tune("second.ptcop", 8, [7, 12])
        jb.start()
        if jb.x_depth() != 16:
            raise TestFailure(f"the screen is {jb.x_depth()} bits deep, not 16")
        s = jb.screen()
        if sorted(r.name for r in s.rows[:2]) != ["first", "second"] or s.current_rows != [0]:
            raise TestFailure(s.describe())
        jb.click(*sm.row_centre(1))
        jb.wait_screen("row 2 highlighted and playing", 3,
                       lambda s: s.current_rows == [1] and s.bar_width > 0)
        jb.click(*sm.button_centre(SHUFFLE))
        jb.wait_screen("shuffle lit", 2, lambda s: s.lit[SHUFFLE])
        jb.move(*sm.button_centre(EXIT))
        s = jb.wait_screen("exit lit, with the cursor over it", 2, lambda s: s.lit[EXIT])
        print("16-bit screen reads: " + s.describe())


if __name__ == "__main__":
    run(test)
