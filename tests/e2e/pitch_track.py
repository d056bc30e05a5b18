"""The notes in a recording: the strongest frequency of each short stretch
(an FFT with peak interpolation), stretches of one pitch joined into notes.
Made for the test tunes' sine notes, whose fundamental is their peak."""
from dataclasses import dataclass

import numpy as np

WINDOW = 2048        # samples a stretch (93 ms at 22050 Hz)
HOP = 512
PAD = 8              # zero padding: bins of rate / (WINDOW * PAD)
QUIET_DBFS = -40.0   # stretches below this are silence
SAME_PITCH = 0.01    # neighbours within 1 % are one note
MIN_NOTE_S = 0.15


@dataclass
class Note:
    start_s: float
    length_s: float
    hz: float          # median over the note
    level_dbfs: float  # RMS
    breaks: int = 0    # breaks joined over (join_breaks)


def read_s16_stereo(path):
    """Raw interleaved signed 16-bit little-endian stereo, as floats -1..1
    of the two channels' mean."""
    data = np.fromfile(path, dtype="<i2").astype(np.float64) / 32768.0
    data = data[:len(data) // 2 * 2].reshape(-1, 2)
    return data.mean(axis=1)


def stretch_pitches(x, rate):
    """(start seconds, Hz or None when quiet, RMS dBFS) per stretch."""
    window = np.hanning(WINDOW)
    out = []
    for start in range(0, len(x) - WINDOW, HOP):
        seg = x[start:start + WINDOW]
        rms = np.sqrt(np.mean(seg * seg)) + 1e-12
        db = 20 * np.log10(rms)
        if db < QUIET_DBFS:
            out.append((start / rate, None, db))
            continue
        spectrum = np.abs(np.fft.rfft(seg * window, WINDOW * PAD))
        k = int(np.argmax(spectrum[1:-1])) + 1
        a, b, c = np.log(spectrum[k - 1:k + 2] + 1e-12)
        shift = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c != 0 else 0.0
        out.append((start / rate, (k + shift) * rate / (WINDOW * PAD), db))
    return out


def notes(x, rate):
    """The notes of at least MIN_NOTE_S in order. A stretch that overlaps
    two notes reads between them and starts no note of its own."""
    found, run = [], []

    def close_run():
        if run and (len(run) - 1) * HOP / rate + WINDOW / rate >= MIN_NOTE_S:
            hz = float(np.median([p for _, p, _ in run]))
            level = 10 * np.log10(np.mean([10 ** (d / 10) for _, _, d in run]))
            found.append(Note(run[0][0], (len(run) - 1) * HOP / rate + WINDOW / rate, hz, level))

    for item in stretch_pitches(x, rate):
        t, hz, db = item
        if hz is None or (run and abs(hz / run[-1][1] - 1) > SAME_PITCH):
            close_run()
            run = []
        if hz is not None:
            run.append(item)
    close_run()
    return found


def join_breaks(found, longest_s):
    """The notes with pieces of one pitch parted by at most `longest_s`
    seconds joined into one, at its loudest piece's level."""
    joined = []
    for n in found:
        last = joined[-1] if joined else None
        if last and abs(n.hz / last.hz - 1) <= SAME_PITCH and \
                n.start_s - (last.start_s + last.length_s) <= longest_s:
            joined[-1] = Note(last.start_s, n.start_s + n.length_s - last.start_s, last.hz,
                              max(last.level_dbfs, n.level_dbfs), last.breaks + 1)
        else:
            joined.append(n)
    return joined
