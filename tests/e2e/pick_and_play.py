"""A picked row is highlighted and its tune plays: the progress bar grows at
the pace of that tune's length, which tells the tunes apart. A row past the
last tune, and the playing tune's own row, pick nothing."""
import time

import skin_model as sm
from jukebox_session import HOLD, Jukebox, run

LENGTHS = {"amber": 4.0, "birch": 6.0, "cedar": 9.0}
FILES = {"amber": "amber.ptcop", "birch": "birch.ptcop", "cedar": "cedar.pttune"}


def bar_pace(jb, seconds):
    """Pixels a second the bar grows over about `seconds`, and the last screen."""
    s0, t0 = jb.screen(), time.monotonic()
    time.sleep(seconds)
    s1, t1 = jb.screen(), time.monotonic()
    return (s1.bar_width - s0.bar_width) / (t1 - t0), s1


def check_pace(jb, name):
    pace, s = bar_pace(jb, 1.5)
    want = sm.FILL_MAX / LENGTHS[name]
    print(f"{name}: the bar grows {pace:.1f} px/s ({want:.1f} for {LENGTHS[name]} s)")
    assert abs(pace - want) < 0.25 * want, \
        f"{name}: bar grows {pace:.1f} px/s, its {LENGTHS[name]} s length makes {want:.1f}"
    return s


def test():
    with Jukebox() as jb:
        for name, seconds in LENGTHS.items():
            jb.add_tune(FILES[name], seconds, [0, 4, 7])
        jb.start()
        s = jb.screen()
        assert [r.number for r in s.rows] == list(range(1, 11)), s.describe()
        assert sorted(r.name for r in s.rows[:3]) == sorted(LENGTHS), s.describe()
        assert all(r.name == "" for r in s.rows[3:]), s.describe()
        assert s.current_rows == [0] and s.bar_width == 0 and not any(s.lit), s.describe()
        row_of = {r.name: j for j, r in enumerate(s.rows[:3])}

        for name in ("cedar", "amber"):
            j = row_of[name]
            jb.click(*sm.row_centre(j))
            s = jb.wait_screen(f"{name} highlighted and playing", 3,
                               lambda s: s.current_rows == [j] and s.bar_width > 0)
            assert s.bar_width < 0.5 * sm.FILL_MAX, f"{name} did not start at its beginning"
            s = check_pace(jb, name)
            if name == "cedar":
                # Rows that pick nothing: past the last tune, and its own row.
                for dud in (6, j):
                    before = jb.screen().bar_width
                    jb.click(*sm.row_centre(dud))
                    time.sleep(2 * HOLD)
                    s = jb.screen()
                    assert s.current_rows == [j], f"row {dud + 1} changed the pick: {s.describe()}"
                    assert s.bar_width >= before, f"row {dud + 1} restarted the tune"
        assert s.error == "", s.describe()


if __name__ == "__main__":
    run(test)
