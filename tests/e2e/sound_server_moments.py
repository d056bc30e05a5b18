"""The sound server killed and started again at every moment a tune change
can meet it, with a PulseAudio server of the test's own: just before a tune
ends, as the next one loads, as it starts, and started again as a load
tries the server once more (while the program falls back to its silent
output). Then the server dies at the moment the tune is stopped, and the
tune is resumed while it is gone. Whatever the moment: every tune plays its
whole length, one that started while the server was gone at real-time pace,
the auto-advance goes to the next row each time, the error line only ever
speaks of the sound device, and the program ends cleanly on Esc."""
import threading
import time

import numpy as np

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run, wait_until
from pulse_server import PulseServer

SECONDS = 3.2   # longer than the engine's spacing of tries to get the server back
TUNES = 6
WARM_UP = 1.5
# When to kill the server, in seconds from the end of the tune playing:
# during its last buffers, as the next one loads, as it starts.
KILL_AT = [-0.2, -0.05, 0.0, 0.05, 0.15]
# When to start it again, from the end of a tune that started while it was
# gone: as the next load tries the server again, and falls back to the
# silent output when it is not there yet.
RESTART_AT = [-0.4, -0.1, 0.0, 0.05, 0.2]
PACE_TOLERANCE = 0.15     # of the bar's rate, for a tune started while the server was gone
LENGTH_TOLERANCE = 0.9    # seconds off a tune's length, as seen between late screenshots
SERVER_TOLERANCE = 2.5    # a new stream on the server asks for little at first
DEVICE_TEXTS = {"", "sound device lost, silent", "no audio device, silent",
                "sound device back"}


class Timeline:
    """What the test saw and did, in monotonic seconds: when each row
    became current, and when the server went down and came up."""

    def __init__(self):
        self.starts = []     # (time, row, [(time, bar width) while current])
        self.down = []       # [kill time, time the restart began, or None]
        self.errors = set()
        self.last = None

    def server_up_at(self, t):
        return not any(a <= t and (b is None or t < b) for a, b in self.down)

    def record(self, s, now):
        rows = s.current_rows
        if len(rows) != 1:
            raise TestFailure(f"highlighted rows {rows}: {s.describe()}")
        if rows[0] != self.last:
            self.starts.append((now, rows[0], []))
            self.last = rows[0]
        self.starts[-1][2].append((now, s.bar_width))
        self.errors.add(s.error)
        if s.error not in DEVICE_TEXTS:
            raise TestFailure(f"error line {s.error!r}: {s.describe()}")
        return s


def read(jb, timeline):
    """Reads the window; times it from the grab, which comes first: reading
    the picture takes a varying while on a busy machine."""
    grabbed = time.monotonic()
    s = jb.wait_screen("a readable frame", 3, lambda s: True)
    return timeline.record(s, grabbed), grabbed


def end_of_current(jb, timeline):
    """Reads the window until the current tune's bar shows where it is;
    returns when that tune will end and its row."""
    while True:
        s, now = read(jb, timeline)
        if 0 < s.bar_width < 200:
            return now + (sm.FILL_MAX - s.bar_width) / sm.FILL_MAX * SECONDS, s.current_rows[0]
        time.sleep(0.02)


def watch_until(jb, timeline, t):
    while time.monotonic() < t:
        read(jb, timeline)
        time.sleep(0.02)


def in_background(action):
    thread = threading.Thread(target=action)
    thread.start()
    return thread


def next_row(jb, timeline, row):
    wait_until(f"the row after row {row + 1}", SECONDS + 3,
               lambda: read(jb, timeline)[0].current_rows[0] != row)


def kill_and_restart(jb, pulse, timeline, kill_at, restart_at):
    """One round: the server killed `kill_at` seconds from the current
    tune's end; the tune after the next one starts while it is gone; the
    server started again `restart_at` from that tune's end."""
    t_end, row = end_of_current(jb, timeline)
    watch_until(jb, timeline, t_end + kill_at)
    pulse.kill()
    timeline.down.append([time.monotonic(), None])
    next_row(jb, timeline, row)
    next_row(jb, timeline, (row + 1) % TUNES)
    t_end, row = end_of_current(jb, timeline)
    watch_until(jb, timeline, t_end + restart_at)
    timeline.down[-1][1] = time.monotonic()
    starting = in_background(pulse.start_again)
    while starting.is_alive():
        read(jb, timeline)
    next_row(jb, timeline, row)


def stop_as_it_dies(jb, pulse, timeline):
    """The server dies as the tune is stopped; the tune resumes while it
    is gone and plays the rest of its length at real-time pace."""
    jb.wait_screen("a tune near its middle", SECONDS + 3, lambda s: 60 < s.bar_width < 120)
    row = jb.screen().current_rows[0]
    killing = in_background(lambda: (time.sleep(0.05), pulse.kill()))
    jb.key("space")
    killing.join()
    timeline.down.append([time.monotonic(), None])
    stopped = jb.wait_screen("the bar standing", 3, lambda s: True).bar_width
    time.sleep(1.0)
    s = jb.screen()
    if s.bar_width != stopped or s.current_rows != [row]:
        raise TestFailure(f"stopped at {stopped}, then {s.describe()}")
    jb.key("space")
    t_resume = time.monotonic()
    wait_until("the next row after the resumed tune", SECONDS + 3,
               lambda: read(jb, timeline)[0].current_rows[0] != row)
    took = time.monotonic() - t_resume
    rest = (sm.FILL_MAX - stopped) / sm.FILL_MAX * SECONDS
    print(f"stopped at bar {stopped} as the server died; resumed, the rest took {took:.2f} s "
          f"({rest:.2f} s left)")
    if abs(took - rest) > LENGTH_TOLERANCE:
        raise TestFailure(f"the rest of the stopped tune took {took:.2f} s, {rest:.2f} s left")
    s, _ = read(jb, timeline)
    if s.current_rows != [(row + 1) % TUNES]:
        raise TestFailure(f"after row {row + 1}: {s.describe()}")


def pace(readings):
    """The bar's growth in pixels a second over a tune's readings from half
    a second in: a tune that started just as the server died jumps ahead
    once, when the silent output makes up the buffers the dead server did
    not ask for, and so keeps to real time."""
    start = readings[0][0] + 0.5
    t = np.array([t for t, w in readings if t > start and 0 < w < 235])
    w = np.array([w for t, w in readings if t > start and 0 < w < 235], float)
    if len(t) < 5 or t[-1] - t[0] < 1.0:
        raise TestFailure(f"too few readings of a tune's bar: {readings}")
    return np.polyfit(t - t[0], w, 1)[0]


def check_tunes(timeline):
    """Every change went to the next row; every tune played to its end, one
    started while the server was gone at real-time pace."""
    starts = timeline.starts
    for (_, a, seen), (t_b, b, _) in zip(starts, starts[1:]):
        if b != (a + 1) % TUNES:
            # A reading gap longer than a tune means the test looked away,
            # not that the program skipped a row; say which it was.
            raise TestFailure(f"row {b + 1} followed row {a + 1}, first seen {t_b - seen[-1][0]:.2f} s "
                              f"after row {a + 1}'s last reading (bar {seen[-1][1]}; tunes {SECONDS} s)")
    want = sm.FILL_MAX / SECONDS
    silent, served, wrong = [], [], []
    for (t0, _, readings), (t1, _, _) in zip(starts[1:], starts[2:]):
        took = t1 - t0
        down = not timeline.server_up_at(t0 - 0.1) and not timeline.server_up_at(t0 + 0.1)
        rate = pace(readings)
        (silent if down else served).append(f"{took:.2f} s {rate:.0f} px/s")
        if max(w for _, w in readings) < 0.75 * sm.FILL_MAX:
            wrong.append(f"one cut short at bar {max(w for _, w in readings)}")
        if down and abs(rate / want - 1) > PACE_TOLERANCE:
            wrong.append(f"one started while the server was gone at {rate:.1f} px/s")
        late = LENGTH_TOLERANCE if down else SERVER_TOLERANCE
        if not SECONDS - LENGTH_TOLERANCE < took < SECONDS + late:
            wrong.append(f"one took {took:.2f} s")
    print(f"tunes started while the server was gone (real time {want:.0f} px/s): " +
          ", ".join(silent) + "; the others: " + ", ".join(served))
    if wrong:
        raise TestFailure(f"tunes {SECONDS} s long: " + "; ".join(wrong))
    if len(silent) < len(KILL_AT):
        raise TestFailure(f"only {len(silent)} tunes started while the server was gone")


def moments(jb, pulse):
    jb.start(env=pulse.env({"SDL_AUDIODRIVER": "pulseaudio"}))
    wait_until("the program's stream on the server", 10, pulse.playing_streams, interval=0.1)
    time.sleep(WARM_UP)
    timeline = Timeline()
    jb.key("space")
    jb.wait_screen("the first tune playing", 3, lambda s: s.bar_width > 0)
    for k, kill_at in enumerate(KILL_AT):
        restart_at = RESTART_AT[k % len(RESTART_AT)]
        kill_and_restart(jb, pulse, timeline, kill_at, restart_at)
        print(f"round {k + 1}: killed {kill_at:+.2f} s from a tune's end, started again "
              f"{restart_at:+.2f} s from the next one's end")
    check_tunes(timeline)
    stop_as_it_dies(jb, pulse, timeline)
    print(f"error lines seen: {sorted(timeline.errors)}")
    jb.key_down("Escape")
    rc, took = jb.wait_exit(5)
    if rc != 0:
        raise TestFailure(f"exit code {rc} on Esc: {jb.stderr()}")
    print(f"ended on Esc in {took:.2f} s with the server gone")


def test():
    with Jukebox() as jb:
        for k in range(TUNES):
            jb.add_tune("moment %d.ptcop" % (k + 1), SECONDS, [k])
        with PulseServer(jb.workdir) as pulse:
            moments(jb, pulse)


if __name__ == "__main__":
    run(test)
