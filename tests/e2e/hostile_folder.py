"""Folders the user did not make, through the real program: it starts, lists
what it can, shows why a file does not play on the error line, and the
auto-advance goes on to the next tune that does, in bounded memory.

    hostile_folder.py many     2000 tune files: the table fills with the
                               first pattern's names and the tunes play on
    hostile_folder.py names    names of 63, 64 and 200 bytes, spaces,
                               leading dots, bytes that are not UTF-8,
                               extensions in capitals: the ones that fit are
                               listed as drawn and played, the first name
                               too long is told on the error line
    hostile_folder.py wide     "cafe" with its accent and a Japanese name:
                               both listed as drawn and played (on Windows
                               read through the wide-character API)
    hostile_folder.py files    a folder named like a tune, an empty file,
                               random bytes, 100 MB files, a file deleted and
                               one replaced after the scan, one that cannot
                               be read (not as root): each says why, and the
                               list plays on past them
"""
import os
import sys
import time

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run
from name_drawing import row_text
from watching import bar_stands_still
from process_memory import peak_resident_kib, reset_peak_resident, resident_kib

LOOP, PLAY = 6, 4
MIB = 1 << 20
START_LIMIT = 10.0        # seconds from launch to a readable first frame
HUGE_FILE_BYTES = 100 * MIB
PEAK_GROWTH_LIMIT_KIB = 8 * 1024   # a 100 MB file may cost this much at most
RESIDENT_LIMIT_KIB = 48 * 1024     # about 13 MB is usual, whatever the folder holds


class Folder:
    """Writes a test folder's files, by names given as bytes; tunes are
    copies of two tunes made once, one of each format."""

    def __init__(self, jb, seconds):
        self.jb = jb
        self.path = os.fsencode(jb.folder)
        self.seed = {}
        for ending in (".ptcop", ".pttune"):
            jb.add_tune("seed" + ending, seconds, [0, 4])
            seed_path = os.path.join(jb.folder, "seed" + ending)
            with open(seed_path, "rb") as f:
                self.seed[ending.encode()] = f.read()
            os.remove(seed_path)

    def file(self, name):
        return os.path.join(self.path, name)

    def tune(self, name):
        ending = b".pttune" if name.endswith(b".pttune") else b".ptcop"
        self.write(name, self.seed[ending])

    def write(self, name, data):
        with open(self.file(name), "wb") as f:
            f.write(data)

    def random(self, name, size, head=b""):
        """A file of `size` bytes: `head`, then random bytes."""
        with open(self.file(name), "wb") as f:
            f.write(head)
            left = size - len(head)
            while left > 0:
                chunk = os.urandom(min(left, 4 * MIB))
                f.write(chunk)
                left -= len(chunk)


def start(jb):
    t0 = time.monotonic()
    jb.start()
    took = time.monotonic() - t0
    kib = resident_kib(jb.proc.pid)
    print(f"started in {took:.1f} s, resident {kib} KiB")
    if took > START_LIMIT:
        raise TestFailure(f"the first frame took {took:.1f} s")
    if kib > RESIDENT_LIMIT_KIB:
        raise TestFailure(f"resident {kib} KiB after the start")
    return kib


def listed(s, count):
    """The texts of the first `count` rows; the rows after them must be
    empty slots."""
    if any(r.name for r in s.rows[count:]):
        raise TestFailure(f"more than {count} tunes listed: {s.describe()}")
    return [r.name for r in s.rows[:count]]


def play_from_the_top(jb):
    jb.wait_screen("tune 1 current", 3, lambda s: s.current_tune == 1)
    jb.key("space")


def play_through(jb, tunes, timeout, errors_allowed=()):
    """Lets the auto-advance walk the list until each tune in `tunes`
    (numbers) has been seen playing, its bar grown; every error line on the
    way must be one of `errors_allowed`. Returns the numbers in the order
    they were first seen playing."""
    seen = []
    deadline = time.monotonic() + timeout
    while set(seen) != set(tunes):
        s = jb.wait_screen("a readable frame", 3, lambda s: True)
        if s.error and s.error not in errors_allowed:
            raise TestFailure(f"error line {s.error!r} while playing: {s.describe()}")
        if s.current_tune in tunes and s.current_tune not in seen and s.bar_width > 0:
            seen.append(s.current_tune)
        if time.monotonic() > deadline:
            raise TestFailure(f"after {timeout} s only tunes {seen} of {tunes} played: "
                              f"{s.describe()}")
        time.sleep(0.05)
    return seen


# -- 2000 files -----------------------------------------------------------------
def many_files():
    with Jukebox() as jb:
        folder = Folder(jb, 3)  # seen playing in several readings, even on a busy machine
        for i in range(1000):
            folder.tune(b"tune %04d.ptcop" % i)
            folder.tune(b"other %04d.pttune" % i)
        start(jb)
        s = jb.screen()
        first = listed(s, sm.VISIBLE_ROWS)
        if [r.number for r in s.rows] != list(range(1, 11)) or \
                not all(n.startswith("tune ") for n in first) or len(set(first)) != 10:
            raise TestFailure(f"rows of 2000 files: {s.describe()}")
        play_from_the_top(jb)
        played = play_through(jb, [1, 2, 3], 20)
        print(f"2000 files: rows {first[0]!r}..{first[-1]!r}, tunes {played} played in turn")
        # Further down the list: still the first pattern's names, in order.
        jb.key("space")
        bar_stands_still(jb)
        jb.key("Down", hold=1.5)
        s = jb.wait_screen("the list scrolled", 3, lambda s: s.top_row > 12)
        numbers = [r.number for r in s.rows]
        if numbers != list(range(s.top_row, s.top_row + 10)) or \
                not all(r.name.startswith("tune ") for r in s.rows):
            raise TestFailure(f"scrolled rows: {s.describe()}")
        kib = resident_kib(jb.proc.pid)
        print(f"scrolled to row {s.top_row}; resident {kib} KiB")


# -- odd names --------------------------------------------------------------------
PLAYABLE_NAMES = [
    b"x" * 57 + b".ptcop",                   # 63 bytes: the longest that fits
    b"  spaced  out  .pttune",
    b".hidden tune.ptcop",                   # a leading dot, shown whole
    b".zz.ptcop",                            # a leading dot, shown as nothing
    "\u00e9t\u00e9.ptcop".encode(),          # UTF-8
    b"y" * 19 + "\u00e9".encode() + b" cut.ptcop",  # shortened inside a character
]
# Names from other systems: bytes that are no UTF-8 (drawn as Latin-1),
# extensions in capitals.
FOREIGN_NAMES = [b"caf\xe9 au lait.ptcop", b"\xff\xfe bom.pttune", b"LOUD SONG.PTCOP",
                 b"Mixed Case.PtTune"]
UNLISTED_NAMES = [b"w" * 58 + b".ptcop", b"v" * 193 + b".pttune"]  # 64 and 200 bytes
# ".ptcop" names are looked at first: the 64-byte one is the one told.
TOO_LONG = "name too long: " + "w" * 18 + ".."


def odd_names():
    with Jukebox() as jb:
        folder = Folder(jb, 0.8)
        listed_names = PLAYABLE_NAMES + FOREIGN_NAMES
        for name in listed_names + UNLISTED_NAMES:
            folder.tune(name)
        start(jb)
        s = jb.screen()
        shown = listed(s, len(listed_names))
        want = [row_text(n).rstrip() for n in listed_names]  # trailing spaces read as none
        if sorted(shown) != sorted(want):
            raise TestFailure(f"rows {shown}, want {want} in any order")
        if s.error != TOO_LONG:
            raise TestFailure(f"error line {s.error!r}, want {TOO_LONG!r}")
        toggle_loop(jb, True)
        for name in FOREIGN_NAMES:
            take_turn(jb, shown.index(row_text(name)), f"{name!r} playing",
                      lambda s: s.bar_width > 0)
            s = jb.wait_screen(f"{name!r}: the bar moving on", 3, lambda s: s.bar_width > 40)
            if s.error not in ("", TOO_LONG):
                raise TestFailure(f"{name!r}: error line {s.error!r}")
            print(f"{name!r} shown as {row_text(name)!r} plays; error line {s.error!r}")
        toggle_loop(jb, False)
        tunes = [shown.index(row_text(n).rstrip()) + 1 for n in listed_names]
        played = play_through(jb, tunes, 30, errors_allowed={TOO_LONG})
        print(f"listed {shown}; tunes {played} played in turn; the 64- and 200-byte names "
              f"left out and {TOO_LONG!r} told")


# -- names in other scripts -----------------------------------------------------------
WIDE_NAMES = ["caf\u00e9.ptcop", "\u591c\u306e\u6b4c.pttune"]  # cafe, and "night song"


def wide_names():
    with Jukebox() as jb:
        folder = Folder(jb, 0.8)
        names = [n.encode() for n in WIDE_NAMES]
        for name in names:
            folder.tune(name)
        start(jb)
        shown = listed(jb.screen(), len(names))
        if sorted(shown) != sorted(row_text(n) for n in names):
            raise TestFailure(f"rows {shown} for {WIDE_NAMES}")
        toggle_loop(jb, True)
        for name in names:
            s, _, _ = take_turn(jb, shown.index(row_text(name)), f"{name.decode()} playing",
                                lambda s: s.bar_width > 20)
            if s.error:
                raise TestFailure(f"{name.decode()}: error line {s.error!r}")
            print(f"{name.decode()} shown as {row_text(name)!r} plays")


# -- files that do not play ---------------------------------------------------------
def tune_head(folder):
    """The first bytes of a real tune: a file that starts like one."""
    return folder.seed[b".ptcop"][:64]


LONG_NOISE = b"noise under a name too long for the error line.ptcop"


def write_bad_files(folder, as_root):
    """Writes the bad entries; returns {file name: error text} for them and
    a function that spoils the two that change after the scan."""
    bad = {
        b"folder.ptcop": "not a tune: folder.ptcop",
        b"empty.ptcop": "not a tune: empty.ptcop",
        # a name too long for the error line: shortened, and its last
        # character cut by the window's edge
        LONG_NOISE: "not a tune: " + LONG_NOISE.decode()[:22] + "..",
        b"huge noise.pttune": "not a tune: huge noise.pttune",
        b"huge tune.pttune": "tune too big: huge tune.pttune",
        b"deleted.ptcop": "cannot open: deleted.ptcop",
        b"replaced.pttune": "not a tune: replaced.pttune",
    }
    os.mkdir(folder.file(b"folder.ptcop"))
    folder.write(b"empty.ptcop", b"")
    folder.random(LONG_NOISE, 4096)
    folder.random(b"huge noise.pttune", HUGE_FILE_BYTES)
    folder.random(b"huge tune.pttune", HUGE_FILE_BYTES, head=tune_head(folder))
    folder.tune(b"deleted.ptcop")
    folder.tune(b"replaced.pttune")
    if not as_root:  # root reads it anyway
        folder.tune(b"locked.ptcop")
        os.chmod(folder.file(b"locked.ptcop"), 0)
        bad[b"locked.ptcop"] = "cannot open: locked.ptcop"

    def spoil():
        os.remove(folder.file(b"deleted.ptcop"))
        folder.random(b"replaced.pttune.new", 2048)
        os.replace(folder.file(b"replaced.pttune.new"), folder.file(b"replaced.pttune"))
    return bad, spoil


def take_turn(jb, row, what, predicate):
    """Makes the tune of `row` current (with loop on, it stays so) and waits
    for predicate(screen) with that row highlighted; returns that screen,
    the peak resident growth in KiB meanwhile and the seconds it took."""
    pid = jb.proc.pid
    before = resident_kib(pid)
    peak_known = reset_peak_resident(pid)
    t0 = time.monotonic()
    if jb.screen().current_rows == [row]:
        jb.press_button(PLAY)  # the current tune's own row picks nothing
    else:
        jb.click(*sm.row_centre(row))
    s = jb.wait_screen(what, 5, lambda s: s.current_rows == [row] and predicate(s))
    took = time.monotonic() - t0
    grew = (peak_resident_kib(pid) if peak_known else resident_kib(pid)) - before
    return s, grew, took


def toggle_loop(jb, on):
    jb.click(*sm.button_centre(LOOP))
    jb.wait_screen(f"loop {'on' if on else 'off'}", 2, lambda s: s.lit[LOOP] == on)


def bad_files():
    with Jukebox() as jb:
        folder = Folder(jb, 0.8)
        good = [b"first good.ptcop", b"second good.pttune"]
        for name in good:
            folder.tune(name)
        as_root = os.geteuid() == 0
        if as_root:
            print("running as root: every file can be read, so no unreadable one")
        bad, spoil = write_bad_files(folder, as_root)
        start(jb)
        s = jb.screen()
        entries = good + list(bad)
        texts = listed(s, len(entries))
        row_of = {n: texts.index(row_text(n)) for n in entries}
        if sorted(row_of.values()) != list(range(len(entries))):
            raise TestFailure(f"rows {texts} for files {entries}")
        spoil()
        toggle_loop(jb, True)
        for name, error in sorted(bad.items(), key=lambda item: row_of[item[0]]):
            s, grew, took = take_turn(jb, row_of[name], f"{error!r} on the error line",
                                      lambda s: s.error == error)
            if s.bar_width != 0:
                raise TestFailure(f"a bar for a tune that cannot play: {s.describe()}")
            print(f"{name.decode()}: {error!r} after {took:.2f} s, resident peak "
                  f"+{grew} KiB")
            if grew > PEAK_GROWTH_LIMIT_KIB:
                raise TestFailure(f"{name.decode()} made the resident memory grow by {grew} KiB")
        # Loop off: from the last bad one, the list plays on past every bad
        # one to each good one in turn.
        toggle_loop(jb, False)
        good_rows = [row_of[n] + 1 for n in good]
        played = play_through(jb, good_rows, 15, errors_allowed=set(bad.values()))
        kib = resident_kib(jb.proc.pid)
        print(f"played past the bad ones to tunes {played}; resident {kib} KiB")
        if kib > RESIDENT_LIMIT_KIB:
            raise TestFailure(f"resident {kib} KiB after the bad files")


CASES = {"many": many_files, "names": odd_names, "wide": wide_names, "files": bad_files}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        print("usage: hostile_folder.py many|names|wide|files")
        sys.exit(2)
    run(CASES[sys.argv[1]])
