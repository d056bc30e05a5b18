"""Space stops and resumes: pressed before anything played it plays tune 1;
pressed again it stops (the bar stands still where it was); again, and the
tune goes on from there, not from its start. The stop and play buttons do
the same, lit while held."""
import time

from jukebox_session import Jukebox, TestFailure, run, wait_until
from watching import bar_stands_still

SECONDS = 12.0
STOP, PLAY = 3, 4


def goes_on_from(jb, stopped_at, how):
    """Checks the bar grows on from `stopped_at` and never falls below it."""
    def probe():
        s = jb.screen()
        if s.bar_width < stopped_at - 2:
            raise TestFailure(f"{how}: the bar fell from {stopped_at} to {s.bar_width}: "
                              "the tune started over")
        return s.bar_width >= stopped_at + 8
    wait_until(f"{how}: the bar to grow on from {stopped_at}", 3, probe)


def test():
    with Jukebox() as jb:
        jb.add_tune("long one.ptcop", SECONDS, [0, 3, 7, 12])
        jb.add_tune("long two.ptcop", SECONDS, [12, 7, 3, 0])
        jb.start()
        jb.key("space")
        jb.wait_screen("tune 1 playing", 3, lambda s: s.current_tune == 1 and s.bar_width >= 20)

        jb.key("space")
        stopped_at = bar_stands_still(jb)
        print(f"Space stopped the bar at {stopped_at}")
        if stopped_at == 0:
            raise TestFailure("the bar went back to 0 on stop")
        time.sleep(1.0)
        if jb.screen().bar_width != stopped_at:
            raise TestFailure("the bar moved while stopped")
        jb.key("space")
        goes_on_from(jb, stopped_at, "Space")

        jb.press_button(STOP)
        stopped_at = bar_stands_still(jb)
        print(f"the stop button stopped the bar at {stopped_at}")
        jb.press_button(PLAY)
        goes_on_from(jb, stopped_at, "the play button")
        s = jb.screen()
        if s.current_rows != [0] or s.error:
            raise TestFailure(s.describe())


if __name__ == "__main__":
    run(test)
