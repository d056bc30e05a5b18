"""The Player in real time: headless Chromium plays into a PulseAudio server
of the test's own (tests/e2e/pulse_server.py), whose null sink is recorded.

  loops  a tune set to 2 loops: the recording is `ptrender --loops 2`
         after alignment (the repeat without a gap), and `ended` fires once
  seek   a seek into the last minute of a 16-minute tune (held notes and an
         echo: the seek costs many blocks' time) while it plays: no 5 ms of
         silence in the recording apart from the jump, and after it the
         recording is ptrender's render from there
  page   the page of web/player, a folder opened in it holding a tune and a
         damaged one: a click on the tune's row plays it, Space pauses and
         resumes it where it was, the seek bar moves, and at its end the
         damaged tune shows the engine's text and the list goes on

The browser is driven by realtime_driver.mjs and page_driver.mjs. Paths
come from CTest: PTRENDER, E2E_TUNES, WEB_INSTALL."""
import json
import os
import subprocess
import sys
import tempfile

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "gst"))
from gst_element import offset_of, ptrender, short_tunes  # noqa: E402
from jukebox_session import TestFailure, env_path, need_tools, run, wait_until  # noqa: E402
from pulse_server import PulseServer  # noqa: E402

RATE = 44100
WINDOW = RATE * 5 // 1000  # 5 ms
SILENT = 8  # the largest sample of a silent window
SEEK_TO = 910  # seconds: in the last minute of 16


def drive(pulse, tmp, driver="realtime_driver.mjs", *args, **scenario):
    """Runs a driver while recording; (what the page saw, the recording)."""
    recording = os.path.join(tmp, "recording.raw")
    pulse.record(recording)
    wait_until("the recorder on the server", 10, pulse.recording_streams, interval=0.1)
    out = subprocess.run(["node", os.path.join(HERE, driver), *(args or [json.dumps(scenario)])],
                         env=pulse.env(), capture_output=True, text=True, timeout=300)
    pulse.stop_recording()
    if out.returncode == 77:
        print(out.stdout.strip())
        sys.exit(77)
    if out.returncode != 0:
        raise TestFailure(f"the driver ended with {out.returncode}:\n{out.stdout}{out.stderr}")
    return json.loads(out.stdout.strip().splitlines()[-1]), np.fromfile(recording, "<i2").reshape(-1, 2)


def aligned(want, heard):
    """The part of `heard` that lines up with `want`, and where in `want` it starts."""
    at = offset_of(want.astype(np.float64), heard.astype(np.float64))
    lost = max(0, -at)
    return heard[max(at, 0):max(at, 0) + len(want) - lost], lost


def loops():
    with tempfile.TemporaryDirectory() as tmp, PulseServer(tmp, rate=RATE) as pulse:
        tune = short_tunes(tmp)[0]
        want = ptrender(tune, os.path.join(tmp, "want.wav"), "--loops", "2")
        seen, heard = drive(pulse, tmp, tune=tune, loops=2)
        got, lost = aligned(want, heard)
        diff = np.abs(got.astype(int) - want[lost:lost + len(got)]).max() if len(got) else None
        print(f"{tune} twice: recorded from {lost / RATE:.3f} s to {(lost + len(got)) / RATE:.3f} s "
              f"of {len(want) / RATE:.3f} s, largest difference {diff}, ended {seen['ended']} time(s)")
        # The null sink's monitor gives nothing for a new stream's first moments.
        if lost > RATE // 2 or lost + len(got) < len(want) or diff > 1:
            raise TestFailure("the recording is not ptrender's render of two passes")
        if seen["ended"] != 1:
            raise TestFailure(f"ended fired {seen['ended']} times")


def silent_windows(samples):
    n = len(samples) // WINDOW
    loudest = np.abs(samples[:n * WINDOW, 0].astype(int)).reshape(n, WINDOW).max(axis=1)
    return np.flatnonzero(loudest < SILENT)


def seek():
    with tempfile.TemporaryDirectory() as tmp, PulseServer(tmp, rate=RATE) as pulse:
        tune = os.path.join(tmp, "long.ptcop")
        notes = [str(i * 7 % 13) for i in range(240)]
        subprocess.run([env_path("E2E_TUNES"), "--held", "--echo", tune, "960", *notes], check=True)
        want = ptrender(tune, os.path.join(tmp, "want.wav"))[SEEK_TO * RATE:]
        seen, heard = drive(pulse, tmp, tune=tune, loops=1, seekAfter=3, seekTo=SEEK_TO, stopAfter=6)
        # From the first sound to half a second before the stop.
        sound = np.flatnonzero(np.abs(heard[:, 0].astype(int)) >= SILENT)
        heard = heard[sound[0]:sound[-1] - RATE // 2] if len(sound) else heard[:0]
        silent = silent_windows(heard)
        # After the jump: the render from the seek's target on.
        got, lost = aligned(want[:10 * RATE], heard[-4 * RATE:])
        diff = np.abs(got.astype(int) - want[lost:lost + len(got)]).max() if len(got) else None
        jumped = [p for t, p in seen["positions"] if p >= SEEK_TO]
        print(f"{len(heard) / RATE:.2f} s of sound, {len(silent)} silent 5 ms windows "
              f"{(silent * WINDOW / RATE).round(3).tolist()[:8]}, after the jump {lost / RATE:.3f} s into "
              f"{SEEK_TO} s on, largest difference {diff}")
        if not jumped or len(got) < 3 * RATE or diff > 1:
            raise TestFailure("after the seek the recording is not the render from its target")
        if len(silent) > 1:
            raise TestFailure(f"{len(silent)} windows of 5 ms fell silent")


def same_from(heard, at, want, what):
    got = heard[at:at + len(want)]
    if at < 0 or len(got) < len(want) or np.abs(got.astype(int) - want).max() > 1:
        raise TestFailure(f"the recording from {at / RATE:.3f} s is not {what}")


def page():
    with tempfile.TemporaryDirectory() as tmp, PulseServer(tmp, rate=RATE) as pulse:
        folder = os.path.join(tmp, "tunes")
        os.mkdir(folder)
        tune = os.path.join(folder, "a.ptcop")
        subprocess.run([env_path("E2E_TUNES"), tune, "4", "0", "4", "7", "12"], check=True)
        subprocess.run([env_path("E2E_TUNES"), os.path.join(tmp, "b.pttune"), "3", "5"], check=True)
        with open(os.path.join(tmp, "b.pttune"), "rb") as f, open(os.path.join(folder, "b.pttune"), "wb") as g:
            g.write(f.read()[:60])
        want = ptrender(tune, os.path.join(tmp, "want.wav"))
        seen, heard = drive(pulse, tmp, "page_driver.mjs", folder)
        pause, resume, playing, after = seen["steps"]
        print(f"rows {seen['rows']}; seek bar {pause['seek']} -> {playing['seek']}; "
              f"then {after['current']!r} with {after['status']!r}")
        if [r.split("/")[-1] for r in seen["rows"]] != ["a.ptcop", "b.pttune"] or seen["errors"]:
            raise TestFailure(f"the list: {seen['rows']}, errors {seen['errors']}")
        if not pause["current"].endswith("a.ptcop") or not playing["seek"] > pause["seek"] > 0:
            raise TestFailure("the row's tune does not play, or the seek bar does not move")
        if after["status"] != "damaged tune: b.pttune" or not after["current"].endswith("a.ptcop"):
            raise TestFailure("the damaged tune's text, then the next tune, were not shown")
        # The tune to the pause, silence, the rest of it, then (after the
        # damaged one) the tune again from its start.
        start = offset_of(want[:RATE].astype(float), heard.astype(float))
        part = heard[start:start + len(want)]
        paused = int(np.flatnonzero(np.abs(part.astype(int) - want[:len(part)]).max(axis=1) > 1)[0])
        probe = want[paused + RATE // 2:paused + 3 * RATE // 2].astype(float)
        resumed = offset_of(probe, heard[start + paused:].astype(float)) - RATE // 2 + start + paused
        print(f"the tune from {start / RATE:.3f} s, paused at {paused / RATE:.3f} s into it "
              f"for {(resumed - start - paused) / RATE:.3f} s")
        same_from(heard, start, want[:paused], "the tune up to the pause")
        if resumed - start - paused < RATE // 2 or np.abs(heard[start + paused:resumed]).max() > 0:
            raise TestFailure("no silence while paused")
        same_from(heard, resumed, want[paused:], "the rest of the tune after the pause")
        again = resumed + len(want) - paused
        again += offset_of(want[:RATE].astype(float), heard[again:].astype(float))
        same_from(heard, again, want[:2 * RATE], "the tune again after the damaged one")


if __name__ == "__main__":
    need_tools("node", "pulseaudio")
    env_path("WEB_INSTALL")
    run({"loops": loops, "seek": seek, "page": page}[sys.argv[1]])
