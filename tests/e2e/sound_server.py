"""The sound really leaves the program: with a PulseAudio server of the
test's own (a null sink, its monitor recorded with parec), the program plays
a picked tune of three notes and then, by itself, the next tune of one
note; the recording holds those four pitches in that order, at their
lengths and at the level ptrender renders them at, and the window shows no
error."""
import os
import subprocess
import time

import numpy as np

import pitch_track
import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run, wait_until
from pulse_server import RATE, PulseServer

A4 = 441.0  # the engine's tuning of key A4
RISING = ("rising.ptcop", 1.8, [0, 7, 12])
STEADY = ("steady.ptcop", 1.2, [5])
PITCH_TOLERANCE = 0.005  # under 9 cents
LEVEL_TOLERANCE_DB = 1.0
WINE_BREAK_S = 0.15
WARM_UP = 1.5  # seconds: a new PulseAudio stream asks for little sound at first


def hz(semitones):
    return A4 * 2 ** (semitones / 12)


def rendered_levels(jb, tunes):
    """The level of each note as ptrender renders the tunes, in turn."""
    levels = []
    for name, _, _ in tunes:
        wav = os.path.join(jb.workdir, name + ".wav")
        subprocess.run([os.environ["PTRENDER"], "--rate", str(RATE), os.path.join(jb.folder, name),
                        wav], check=True)
        with open(wav, "rb") as f:
            f.seek(44)
            samples = np.frombuffer(f.read(), "<i2").astype(np.float64) / 32768.0
        levels += [n.level_dbfs for n in pitch_track.notes(samples.reshape(-1, 2).mean(axis=1), RATE)]
    return levels


def test():
    with Jukebox() as jb:
        for name, seconds, notes in (RISING, STEADY):
            jb.add_tune(name, seconds, notes)
        with PulseServer(jb.workdir) as pulse:
            check_recording(jb, pulse)


def check_recording(jb, pulse):
    recording = os.path.join(jb.workdir, "recording.raw")
    pulse.record(recording)
    jb.start(env=pulse.env({"SDL_AUDIODRIVER": "pulseaudio"}))
    wait_until("the program's stream on the server", 10, pulse.playing_streams, interval=0.1)
    time.sleep(WARM_UP)
    s = jb.screen()
    rising_row = [r.name for r in s.rows].index("rising")
    steady_row = [r.name for r in s.rows].index("steady")
    if rising_row == 0:  # already the current tune: its row picks nothing
        jb.key("space")
    else:
        jb.click(*sm.row_centre(rising_row))
    jb.wait_screen("rising playing", 3,
                   lambda s: s.current_rows == [rising_row] and s.bar_width > 0)
    jb.wait_screen("steady following", 3 * RISING[1],
                   lambda s: s.current_rows == [steady_row] and s.bar_width > 0)
    s = jb.wait_screen("steady playing out", 3 * STEADY[1],
                       lambda s: s.current_rows != [steady_row] or s.bar_width > 200)
    if s.error:
        raise TestFailure(f"error line: {s.error!r}")
    time.sleep(0.3)
    jb.key_down("Escape")
    jb.wait_exit(5)
    pulse.stop_recording()

    x = pitch_track.read_s16_stereo(recording)
    heard = pitch_track.notes(x, RATE)
    if jb.program.endswith(".exe"):
        # Wine's PulseAudio driver keeps three 10 ms periods in the server,
        # fed by a thread of ordinary priority (Windows runs its sound at
        # real-time priority): on a busy machine a note breaks now and then
        # for a few tens of ms, and plays on later. Its pieces are joined.
        heard = pitch_track.join_breaks(heard, WINE_BREAK_S)
    print(f"recorded {len(x) / RATE:.1f} s; notes: " + ", ".join(
        f"{n.hz:.1f} Hz {n.length_s:.2f} s {n.level_dbfs:.1f} dBFS" +
        (f" ({n.breaks} breaks)" if n.breaks else "") for n in heard))
    want = [(hz(k), RISING[1] / len(RISING[2])) for k in RISING[2]] + \
           [(hz(k), STEADY[1]) for k in STEADY[2]]
    if len(heard) < len(want):
        raise TestFailure(f"heard {len(heard)} notes, want at least {len(want)}")
    levels = rendered_levels(jb, (RISING, STEADY))
    if len(levels) != len(want):
        raise TestFailure(f"ptrender renders {len(levels)} notes, not {len(want)}")
    for n, (f, slot), level in zip(heard, want, levels):
        if abs(n.hz / f - 1) > PITCH_TOLERANCE:
            raise TestFailure(f"heard {n.hz:.1f} Hz where {f:.1f} Hz plays")
        # a note sounds 7/8 of its slot; the analysis window adds a little
        if not 0.6 * slot < n.length_s < 1.3 * slot + WINE_BREAK_S * n.breaks:
            raise TestFailure(f"the {f:.1f} Hz note lasts {n.length_s:.2f} s, its slot {slot:.2f} s")
        if abs(n.level_dbfs - level) > LEVEL_TOLERANCE_DB:
            raise TestFailure(f"the {f:.1f} Hz note at {n.level_dbfs:.1f} dBFS, "
                              f"ptrender's at {level:.1f}")
    peak = float(np.max(np.abs(x)))
    if peak >= 0.999:
        raise TestFailure("the recording clips")


if __name__ == "__main__":
    run(test)
