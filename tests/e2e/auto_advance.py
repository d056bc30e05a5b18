"""A short tune ends and the next starts by itself, in list order, the last
one followed by the first; each starts from its beginning about one tune
length after the one before."""
from jukebox_session import Jukebox, run
from watching import watch_starts

SECONDS = 1.5


def test():
    with Jukebox() as jb:
        jb.add_tune("one.ptcop", SECONDS, [0, 2])
        jb.add_tune("two.pttune", SECONDS, [4, 5])
        jb.add_tune("three.ptcop", SECONDS, [7, 9])
        jb.start()
        jb.key("space")
        jb.wait_screen("tune 1 playing", 3, lambda s: s.current_tune == 1 and s.bar_width > 0)
        starts, s = watch_starts(jb, 4 * SECONDS + 3, until=lambda st: len(st) >= 4)
        tunes = [st.tune for st in starts]
        assert tunes[:4] == [2, 3, 1, 2], f"starts seen: {starts}"
        assert not any(st.same for st in starts[:4]), f"a tune started again: {starts}"
        gaps = [b.at - a.at for a, b in zip(starts, starts[1:4])]
        print("seconds between starts: " + ", ".join("%.2f" % g for g in gaps))
        # each start is seen at the next reading, a few tenths late on a busy machine
        assert all(SECONDS - 0.45 < g < SECONDS + 1.0 for g in gaps), f"gaps {gaps}"
        assert s.error == "", s.describe()


if __name__ == "__main__":
    run(test)
