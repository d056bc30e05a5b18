"""When the jukebox's sound is heard, measured from outside as a listener
would: parec records the PulseAudio sink's monitor in 5 ms fragments and
each fragment is stamped with the time it arrived, so every recorded frame
has the moment it was heard (at most a fragment late). The instrument of
bench/sound-latency, and of the e2e latency test; it drives the jukebox
with the e2e helpers (tests/e2e on the path)."""
import os
import random
import subprocess
import threading
import time

import numpy as np

import skin_model as sm
from jukebox_session import HOLD, TITLE_SPOT, spawn, wait_until
from pulse_server import SINK

FRAGMENT_MS = 5
LOUD = 200  # of 32767: a sine note of the test tunes passes it within a few frames
STOP = 3


class StampedRecorder:
    """parec on the sink's monitor; frames() and heard_at() read what has
    arrived so far. Monotonic seconds, as time.monotonic()."""

    def __init__(self, pulse):
        self.rate = pulse.rate
        self.proc = spawn(["parec", "-d", SINK + ".monitor", "--format=s16le",
                           f"--rate={self.rate}", "--channels=2", "--raw",
                           f"--latency-msec={FRAGMENT_MS}"],
                          env=pulse.env(), stdout=subprocess.PIPE, stderr=pulse.log)
        self.chunks, self.stamps = [], []  # stamps: (arrival, frames so far)
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        fd, total, tail = self.proc.stdout.fileno(), 0, b""
        while True:
            data = os.read(fd, 4096)
            now = time.monotonic()
            if not data:
                return
            data = tail + data
            whole = len(data) // 4 * 4
            data, tail = data[:whole], data[whole:]
            total += whole // 4
            with self.lock:
                self.chunks.append(data)
                self.stamps.append((now, total))

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)
        self.reader.join(5)

    def sound(self):
        """Every frame so far, (frames, 2) int16."""
        with self.lock:
            raw = b"".join(self.chunks)
        return np.frombuffer(raw, dtype="<i2").reshape(-1, 2)

    def frames(self):
        """Every frame so far, loudest channel, and each frame's arrival."""
        with self.lock:
            raw, stamps = b"".join(self.chunks), list(self.stamps)
        x = np.frombuffer(raw, dtype="<i2").reshape(-1, 2)
        level = np.max(np.abs(x.astype(np.int32)), axis=1)
        arrival = np.empty(len(level))
        start = 0
        for when, end in stamps:
            arrival[start:end] = when
            start = end
        return level, arrival

    def wait_for(self, what, t, loud, timeout=2.0):
        """Seconds from t to the first frame heard after t that is loud
        (loud=True) or, when loud is False, to the last loud frame before a
        quiet stretch of 0.2 s; and that frame's index."""
        def probe():
            level, arrival = self.frames()
            after = np.nonzero(arrival > t)[0]
            if len(after) == 0:
                return None
            first = after[0]
            if loud:
                hits = np.nonzero(level[first:] > LOUD)[0]
                return (arrival[first + hits[0]] - t, first + hits[0]) if len(hits) else None
            quiet_run = int(0.2 * self.rate)
            is_loud = level[first:] > LOUD
            for i in range(0, len(is_loud) - quiet_run, 64):
                if not is_loud[i:i + quiet_run].any():
                    before = np.nonzero(level[:first + i] > LOUD)[0]
                    last = before[-1] if len(before) else first
                    return (arrival[last] if len(before) else t) - t, last
            return None
        return wait_until(what, timeout, probe, interval=0.02)


def warm_up(jb, seconds=1.5, stop=True):
    """Plays tune 1 a while (a new PulseAudio stream may ask for little at
    first), then stops it unless stop is False; each step seen done on the
    screen, so the rounds after start from a known state."""
    from watching import bar_stands_still
    jb.key("space")
    jb.wait_screen("tune 1 playing", 5, lambda s: s.current_tune == 1 and s.bar_width > 0)
    time.sleep(seconds)
    if stop:
        jb.key("space")
        bar_stands_still(jb)


def act(jb, how, row=0):
    """Does one thing to the jukebox, held for a few frames as a hand
    would; returns the time just before its press was sent (xdotool then
    takes a few ms to start: the figures are at most that much high)."""
    if how == "space":
        jb.move(*TITLE_SPOT)  # keys go to the window under the pointer
        press, release = ("keydown", "space"), ("keyup", "space")
    else:
        jb.move(*(sm.row_centre(row) if how == "pick" else sm.button_centre(STOP)))
        press, release = ("mousedown", "1"), ("mouseup", "1")
    t = time.monotonic()
    jb.xdotool(*press)
    time.sleep(HOLD)
    jb.xdotool(*release)
    jb.park()
    return t


def measure_answers(jb, recorder, cycles):
    """After warm_up(): `cycles` rounds of: pick a row, stop with Space, resume with Space,
    stop with the button (the list holds two
    tunes, the first current), each after a pause of 0.4-0.6 s (so the actions
    land at every point of the device's cycle). Returns (seconds, frame
    heard) by kind: {"pick": [...], "resume": [...], "stop": [...]}, and the
    row of each pick."""
    got = {"pick": [], "resume": [], "stop": []}
    rows = []
    for i in range(cycles):
        for how, kind, loud in (("pick", "pick", True), ("space", "stop", False),
                                ("space", "resume", True), ("stop", "stop", False)):
            time.sleep(random.uniform(0.4, 0.6))
            # the current tune's row picks nothing: rows 2 and 1 by turns
            t = act(jb, how, row=(i + 1) % 2)
            got[kind].append(recorder.wait_for(f"{kind} {i + 1} heard", t, loud))
        rows.append((i + 1) % 2)
    return got, rows


def describe(heard):
    ms = sorted(1000 * s for s, _ in heard)
    return f"median {np.median(ms):5.1f} ms, worst {ms[-1]:5.1f} ms ({len(ms)}: " + \
        " ".join(f"{m:.0f}" for m in ms) + ")"
