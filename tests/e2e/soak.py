"""Soak: the jukebox plays through a folder of 50 short tunes for SECONDS
(default 60) while random clicks on its buttons, rows and arrows and
presses of Space, Up and Down come in (a fixed seed; never Esc or the exit
button). Measured from outside all the while: the frames it presents (X
DAMAGE), its resident memory (/proc) and the tunes it loads (inotify).
Passes when every 10 s of the run shows 30 +- 0.5 frames a second, the
resident memory at the end is less than 1 MiB above what it was after the
warm-up, tunes kept being loaded, every reading of the window is a frame
the skin makes with an empty error line, and Esc then ends it with exit
code 0.

    soak.py [SECONDS]          (CTest runs 60; the long run is 1200)
"""
import random
import sys
import time

import skin_model as sm
from frame_counting import FrameCounter, rates
from jukebox_session import Jukebox, TestFailure, run, wait_until
from process_memory import ResidentSampler, resident_kib
from tune_opens import TuneOpens

SEED = 20261208
TUNES = 50
RATE_WINDOW = 10                 # seconds
FPS, FPS_TOLERANCE = 30.0, 0.5
GROWTH_LIMIT_KIB = 1024
SHUFFLE, STOP, PLAY, LOOP = 1, 3, 4, 6
LOOP_LIMIT = 6.0                 # seconds loop may stay on before the script turns it off
STALL_LIMIT = 5.0                # seconds without a load before the script presses play
LONGEST_GAP = 20.0               # seconds without a load that fail the run


def make_tunes(jb, rng):
    """50 tunes of 0.6 to 2 s, one to four notes each, in both formats."""
    for i in range(TUNES):
        ending = ".pttune" if i % 3 == 2 else ".ptcop"
        notes = [rng.randrange(-12, 13) for _ in range(rng.randrange(1, 5))]
        jb.add_tune("soak %02d%s" % (i + 1, ending), round(rng.uniform(0.6, 2.0), 2), notes)


# -- the random actions: (weight, name, action(jb, rng)) -----------------------
def press_button(k):
    return lambda jb, rng: jb.click(*sm.button_centre(k))


def press_row(jb, rng):
    jb.click(*sm.row_centre(rng.randrange(sm.VISIBLE_ROWS)))


def hold_arrow(centre):
    return lambda jb, rng: jb.click(*centre, hold=rng.choice([0.15, 0.15, 0.8, 1.5]))


def hold_key(name):
    return lambda jb, rng: jb.key(name, hold=rng.choice([0.15, 0.15, 0.8]))


ACTIONS = [
    (30, "row", press_row),
    (6, "rescan", press_button(0)),
    (7, "shuffle", press_button(SHUFFLE)),
    (7, "back", press_button(2)),
    (6, "stop", press_button(STOP)),
    (9, "play", press_button(PLAY)),
    (7, "restart", press_button(5)),
    (5, "loop", press_button(LOOP)),
    (5, "up arrow", hold_arrow(sm.UP_ARROW_CENTRE)),
    (6, "down arrow", hold_arrow(sm.DOWN_ARROW_CENTRE)),
    (5, "space", hold_key("space")),
    (3, "up key", hold_key("Up")),
    (4, "down key", hold_key("Down")),
]


def readable_screen(jb):
    """The window now, as a frame the skin makes (one unreadable grab, a
    frame caught mid-copy, is retried)."""
    return jb.wait_screen("a readable frame", 3, lambda s: True)


class Player:
    """The random user, with two habits that keep the jukebox from being
    left stopped or looping for good."""

    def __init__(self, jb, opens, rng):
        self.jb, self.opens, self.rng = jb, opens, rng
        self.loop_since = None
        self.done = {name: 0 for _, name, _ in ACTIONS}
        self.done.update({"loop off (habit)": 0, "play (habit)": 0})
        self.readings = 0

    def check(self):
        s = readable_screen(self.jb)
        self.readings += 1
        if s.error:
            raise TestFailure(f"error line: {s.error!r}: {s.describe()}")
        now = time.monotonic()
        if not s.lit[LOOP]:
            self.loop_since = None
        elif self.loop_since is None:
            self.loop_since = now
        elif now - self.loop_since > LOOP_LIMIT:
            self._habit("loop off (habit)", LOOP)
            return
        last_open = self.opens.opens[-1][0] if self.opens.opens else 0.0
        if not s.lit[LOOP] and now - last_open > STALL_LIMIT:
            self._habit("play (habit)", PLAY)

    def _habit(self, name, k):
        self.jb.click(*sm.button_centre(k))
        self.done[name] += 1

    def act(self):
        weights = [w for w, _, _ in ACTIONS]
        _, name, action = self.rng.choices(ACTIONS, weights)[0]
        action(self.jb, self.rng)
        self.done[name] += 1


def settle_playing(jb, opens):
    """Loop off, play pressed: the tunes must follow one another again."""
    if readable_screen(jb).lit[LOOP]:
        jb.click(*sm.button_centre(LOOP))
        jb.wait_screen("loop dark", 2, lambda s: not s.lit[LOOP])
    t = time.monotonic()
    jb.click(*sm.button_centre(PLAY))
    wait_until("three tunes loaded after play", 12, lambda: len(opens.since(t)) >= 3, 0.1)


def longest_gap(times, start, end):
    marks = [start] + sorted(times) + [end]
    return max(b - a for a, b in zip(marks, marks[1:]))


def report_frames(per_second):
    windows = rates(per_second, RATE_WINDOW)
    if not windows:
        raise TestFailure(f"only {len(per_second)} seconds of frames counted")
    print(f"frames: {sum(per_second)} in {len(per_second)} s; per {RATE_WINDOW} s window "
          f"min {min(windows):.2f} mean {sum(windows) / len(windows):.2f} "
          f"max {max(windows):.2f} frames/s")
    print("  windows: " + " ".join("%.1f" % w for w in windows))
    bad = [(i * RATE_WINDOW, w) for i, w in enumerate(windows) if abs(w - FPS) > FPS_TOLERANCE]
    if bad:
        raise TestFailure("frame rate outside 30 +- 0.5: " +
                          ", ".join(f"{w:.2f} at {t} s" for t, w in bad))


def report_memory(samples, warm_up, end_kib):
    after = [kib for t, kib in samples if t >= warm_up]
    warm_kib = after[0] if after else end_kib
    print(f"resident memory: {warm_kib} KiB after {warm_up:.0f} s of warm-up, {end_kib} KiB "
          f"at the end, growth {end_kib - warm_kib} KiB (after warm-up min {min(after or [0])}, "
          f"max {max(after or [0])} KiB)")
    if end_kib - warm_kib >= GROWTH_LIMIT_KIB:
        raise TestFailure(f"resident memory grew by {end_kib - warm_kib} KiB")


def soak(jb, seconds):
    rng = random.Random(SEED)
    make_tunes(jb, rng)
    opens = TuneOpens(jb.folder)
    jb.start()
    try:
        counter = FrameCounter(jb)
        memory = ResidentSampler(jb.proc.pid)
        t0 = time.monotonic()
        jb.key("space")
        player = Player(jb, opens, rng)
        while time.monotonic() - t0 < seconds - 12:
            player.check()
            player.act()
            time.sleep(rng.uniform(0.2, 1.2))
        settle_playing(jb, opens)
        wait_until("the end of the run", seconds + 5,
                   lambda: time.monotonic() - t0 >= seconds, 0.2)
        end_kib = resident_kib(jb.proc.pid)
        per_second = counter.stop()
        samples = memory.stop()
        t_end = time.monotonic()
    finally:
        loads = opens.stop()
    print(f"soak of {seconds} s: {len(loads)} tune loads ({len({n for _, n in loads})} "
          f"different tunes), {player.readings} readings of the window")
    print("actions: " + ", ".join(f"{n} {c}" for n, c in player.done.items()))
    gap = longest_gap([t for t, _ in loads], t0, t_end)
    print(f"longest stretch without a load: {gap:.1f} s")
    report_frames(per_second)
    report_memory(samples, min(60.0, seconds / 4), end_kib)
    if gap > LONGEST_GAP:
        raise TestFailure(f"no tune loaded for {gap:.1f} s")
    jb.key_down("Escape")
    rc, took = jb.wait_exit(5)
    print(f"Esc: exit code {rc} after {took:.2f} s")
    if rc != 0:
        raise TestFailure(f"exit code {rc} on Esc; stderr: {jb.stderr()}")


def test():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60.0
    if seconds < 30:
        raise TestFailure("usage: soak.py [SECONDS of at least 30]")
    with Jukebox() as jb:
        soak(jb, seconds)


if __name__ == "__main__":
    run(test)
