"""Tunes that cannot be played are told on the error line, and the jukebox
goes on to the next tune by itself: a file that is no tune at all, a real
tune cut short, and a tune saved by an editor version the engine does not
read (each in a folder with one good tune, so the good one is what
follows)."""
import os

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run

GOOD = "good"


def write_junk(jb, name):
    with open(os.path.join(jb.folder, name), "wb") as f:
        f.write(b"these are not the bytes of a tune\n" * 20)


def write_cut(jb, name):
    jb.add_tune(name, 30, [0, 7])
    path = os.path.join(jb.folder, name)
    with open(path, "rb") as f:
        whole = f.read()
    with open(path, "wb") as f:
        f.write(whole[:len(whole) * 2 // 3])


def write_later_version(jb, name):
    jb.add_tune(name, 30, [0, 7])
    with open(os.path.join(jb.folder, name), "r+b") as f:
        f.write(b"PTCOLLAGE-121231")


CASES = [("junk.ptcop", write_junk, "not a tune: junk.ptcop"),
         ("cut.pttune", write_cut, "damaged tune: cut.pttune"),
         ("new.ptcop", write_later_version, "unsupported tune version: new.ptcop")]


def check(file_name, write, error):
    with Jukebox() as jb:
        jb.add_tune(GOOD + ".ptcop", 30, [0, 7])
        write(jb, file_name)
        jb.start()
        s = jb.screen()
        row_of = {r.name: j for j, r in enumerate(s.rows[:2])}
        bad = sm.display_name(file_name)
        if sorted(row_of) != sorted([bad, GOOD]):
            raise TestFailure(s.describe())
        if s.current_rows == [row_of[bad]]:
            jb.key("space")  # the current tune's own row picks nothing
        else:
            jb.click(*sm.row_centre(row_of[bad]))
        jb.wait_screen(f"{error!r} on the error line", 3, lambda s: s.error == error)
        jb.wait_screen("the good tune playing after it", 3,
                       lambda s: s.current_rows == [row_of[GOOD]] and s.bar_width > 0)
        print(f"{file_name}: {error!r} shown, then {GOOD} plays")


def test():
    for case in CASES:
        check(*case)


if __name__ == "__main__":
    run(test)
