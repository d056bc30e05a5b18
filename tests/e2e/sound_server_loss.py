"""The sound server goes away mid-tune and comes back: with a PulseAudio
server of the test's own, the program plays a tune; the server is killed
in the middle of it. The tune plays on silently at real-time pace (the bar
keeps growing at its rate and the tune ends on time), the error line says
the sound is lost, and the auto-advance goes on to the next row. The server
is started again while that tune plays; the tune after it is heard through
it (its note recorded from the monitor), and the error line says the sound
is back. The three tunes play in the order the program lists them, which is
the folder's and differs from one file system to another."""
import os
import time

import numpy as np

import pitch_track
import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run, wait_until
from pulse_server import RATE, PulseServer

A4 = 441.0
TUNES = {"amber.ptcop": [0, 7], "birch.ptcop": [12], "cedar.ptcop": [5]}
# Long enough that a kill which comes late on a busy machine (the screen
# readings before it are slow) still leaves seconds of the tune to watch.
SECONDS = 6.0
KILL_AFTER = 1.5       # seconds into the first tune
RESTART_AFTER = 1.0    # seconds into the second tune
WARM_UP = 1.5          # a new PulseAudio stream asks for little sound at first
LOST = "sound device lost, silent"
BACK = "sound device back"
PACE_TOLERANCE = 0.1   # of the bar's rate
# seconds: the start is judged from the bar, which leads the sound by the
# server's buffer, and the end from a reading that comes late on a busy
# machine; the pace after the kill is checked to 10 % besides.
END_TOLERANCE = 1.0
PITCH_TOLERANCE = 0.005


def hz(semitones):
    return A4 * 2 ** (semitones / 12)


def listed_order(jb):
    """The tune files in the order the program lists them."""
    by_shown = {sm.display_name(name): name for name in TUNES}
    names = [r.name for r in jb.screen().rows[:len(TUNES)]]
    if sorted(names) != sorted(by_shown):
        raise TestFailure(f"rows {names}, want {sorted(by_shown)}")
    return [by_shown[n] for n in names]


def start_first(jb, row):
    if jb.screen().current_rows == [row]:
        jb.key("space")  # the current tune's own row picks nothing
    else:
        jb.click(*sm.row_centre(row))
    s = jb.wait_screen("the first tune playing", 3,
                       lambda s: s.current_rows == [row] and s.bar_width > 0)
    # when it started, from how far its bar has come
    return time.monotonic() - s.bar_width / 240 * SECONDS


def watch_until_next(jb, row, timeout):
    """(seconds, bar width) readings while `row` stays current; returns
    them, the last screen and the time the next tune was first seen."""
    readings = []
    deadline = time.monotonic() + timeout
    while True:
        s = jb.wait_screen("a readable frame", 3, lambda s: True)
        now = time.monotonic()
        if s.current_rows != [row]:
            return readings, s, now
        readings.append((now, s.bar_width, s.error))
        if now > deadline:
            raise TestFailure(f"the tune still current after {timeout} s: {s.describe()}")
        time.sleep(0.05)


def check_silent_pace(readings, t_kill):
    after = [(t, w) for t, w, _ in readings if t > t_kill + 0.2 and w < 235]
    if len(after) < 5:
        raise TestFailure(f"only {len(after)} readings of the bar after the kill")
    widths = [w for _, w in after]
    if any(b < a for a, b in zip(widths, widths[1:])):
        raise TestFailure(f"the bar went back after the kill: {widths}")
    t = np.array([t for t, _ in after])
    w = np.array(widths, float)
    rate = np.polyfit(t - t[0], w, 1)[0]
    want = 240 / SECONDS
    print(f"after the kill the bar grew {rate:.1f} px/s over {t[-1] - t[0]:.1f} s "
          f"(real time: {want:.1f})")
    if abs(rate / want - 1) > PACE_TOLERANCE:
        raise TestFailure(f"the bar grew {rate:.1f} px/s after the kill, real time is {want:.1f}")


def check_heard(recording, second, third):
    x = pitch_track.read_s16_stereo(recording)
    heard = pitch_track.notes(x, RATE)
    print(f"recorded {len(x) / RATE:.1f} s after the restart; notes: " + ", ".join(
        f"{n.hz:.1f} Hz {n.length_s:.2f} s {n.level_dbfs:.1f} dBFS" for n in heard))
    third = [n for n in heard if abs(n.hz / hz(TUNES[third][-1]) - 1) < PITCH_TOLERANCE]
    if not third or max(n.length_s for n in third) < 1.0:
        raise TestFailure(f"the third tune's {hz(TUNES[third][-1]):.1f} Hz was not heard")
    if any(abs(n.hz / hz(k) - 1) < PITCH_TOLERANCE for n in heard for k in TUNES[second]):
        raise TestFailure("the second tune, started while the server was down, was heard")
    if not -30 < third[0].level_dbfs < -1:
        raise TestFailure(f"the third tune at {third[0].level_dbfs:.1f} dBFS")


def server_lost_and_back(jb, pulse):
    jb.start(env=pulse.env({"SDL_AUDIODRIVER": "pulseaudio"}))
    wait_until("the program's stream on the server", 10, pulse.playing_streams, interval=0.1)
    time.sleep(WARM_UP)
    order = listed_order(jb)
    print(f"listed in this order: {order}")
    t_start = start_first(jb, 0)
    time.sleep(max(0.0, t_start + KILL_AFTER - time.monotonic()))
    pulse.kill()
    t_kill = time.monotonic()
    print(f"server killed {t_kill - t_start:.2f} s into the first tune")
    if t_kill - t_start > SECONDS - 2.0:
        raise TestFailure(f"the kill came {t_kill - t_start:.2f} s into a {SECONDS} s tune: "
                          "the machine is too busy to watch the rest")
    readings, s, t_next = watch_until_next(jb, 0, SECONDS + 5)
    check_silent_pace(readings, t_kill)
    ended = t_next - t_start
    print(f"the first tune ended {ended:.2f} s after it started ({SECONDS:.1f} s long)")
    if abs(ended - SECONDS) > END_TOLERANCE:
        raise TestFailure(f"the first tune ended after {ended:.2f} s, it is {SECONDS} s long")
    errors = {e for _, _, e in readings if e} | {s.error}
    print(f"error lines seen: {sorted(errors)}")
    if LOST not in errors:
        raise TestFailure(f"the error line never said {LOST!r}: {sorted(errors)}")
    if s.current_rows != [1]:
        raise TestFailure(f"not the next row after the first: {s.describe()}")
    jb.wait_screen("the second tune playing", 3, lambda s: s.bar_width > 0)

    time.sleep(RESTART_AFTER)
    pulse.start_again()
    recording = os.path.join(jb.workdir, "after_restart.raw")
    pulse.record(recording)
    s = jb.wait_screen("the third tune playing", SECONDS + 3,
                       lambda s: s.current_rows == [2] and s.bar_width > 0)
    print(f"third tune playing; error line {s.error!r}")
    wait_until("the program's stream on the restarted server", 5, pulse.playing_streams, 0.1)
    s = jb.wait_screen("the third tune playing out", SECONDS + 3,
                       lambda s: s.current_rows != [2] or s.bar_width > 220)
    if s.error != BACK:
        raise TestFailure(f"error line {s.error!r} once the server is back")
    time.sleep(0.3)
    jb.key_down("Escape")
    rc, _ = jb.wait_exit(5)
    pulse.stop_recording()
    if rc != 0:
        raise TestFailure(f"exit code {rc} on Esc: {jb.stderr()}")
    check_heard(recording, order[1], order[2])


def test():
    with Jukebox() as jb:
        for name, notes in TUNES.items():
            jb.add_tune(name, SECONDS, notes)
        with PulseServer(jb.workdir) as pulse:
            server_lost_and_back(jb, pulse)


if __name__ == "__main__":
    run(test)
