"""Shuffle and loop change what follows a tune that ends. Shuffle: never the
tune that just ended, and not list order (six starts in list order out of
twelve tunes would happen once in two million runs). Loop: the same tune
again and again, nothing else. Both off again: list order."""
import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run
from watching import watch_starts

SECONDS = 2.0   # a tune is seen current in several readings even on a busy machine
TUNES = 12
SHUFFLE, LOOP = 1, 6


def in_order(a, b):
    return b == a % TUNES + 1


def toggle(jb, k, on):
    jb.click(*sm.button_centre(k))
    jb.wait_screen(f"{sm.BUTTON_NAMES[k]} lit" if on else f"{sm.BUTTON_NAMES[k]} dark", 2,
                   lambda s: s.lit[k] == on)


def test():
    with Jukebox() as jb:
        for i in range(TUNES):
            jb.add_tune("t%02d.ptcop" % (i + 1), SECONDS, [i])
        jb.start()
        toggle(jb, SHUFFLE, True)
        jb.key("space")
        jb.wait_screen("tune 1 playing", 3, lambda s: s.current_tune == 1 and s.bar_width > 0)

        starts, s = watch_starts(jb, 6 * (SECONDS + 1) + 2, until=lambda st: len(st) >= 6)
        tunes = [1] + [st.tune for st in starts]
        print("shuffle: " + " ".join(map(str, tunes)))
        if len(starts) < 6 or any(st.same for st in starts):
            raise TestFailure(f"shuffle: starts seen {starts}")
        if all(in_order(a, b) for a, b in zip(tunes, tunes[1:])):
            raise TestFailure(f"shuffle on, yet list order: {tunes}")

        # Once the loop button shows lit, the tune playing stays.
        toggle(jb, LOOP, True)
        looped = jb.screen().current_tune
        starts, s = watch_starts(jb, 3.5 * SECONDS + 1)
        print(f"loop: tune {looped} started again {len(starts)} times")
        if len(starts) < 3 or not all(st.same and st.tune == looped for st in starts):
            raise TestFailure(f"loop on with tune {looped}: starts seen {starts}")

        toggle(jb, SHUFFLE, False)
        toggle(jb, LOOP, False)
        # The looped tune may end while the buttons are read back.
        starts, s = watch_starts(jb, 3 * (SECONDS + 1), until=lambda st: len(st) >= 2,
                                 since=looped)
        tunes = [looped] + [st.tune for st in starts]
        print("both off: " + " ".join(map(str, tunes)))
        if len(starts) < 2 or not all(in_order(a, b) for a, b in zip(tunes, tunes[1:])):
            raise TestFailure(f"loop and shuffle off: starts seen {starts}, not list order")


if __name__ == "__main__":
    run(test)
