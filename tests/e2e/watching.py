"""Watching the jukebox over time: which tune is current and when the
progress bar starts over."""
import time
from dataclasses import dataclass

from jukebox_session import TestFailure, wait_until

RESTART_DROP = 60  # a bar this much shorter than a moment ago started over
POLL = 0.05        # rest between readings, leaving the program its share


@dataclass
class Start:
    tune: int      # tune number now highlighted
    at: float      # seconds since watching began
    same: bool     # the same tune as before started again


def watch_starts(jb, seconds, until=None, since=None):
    """Reads the window for `seconds` (or until until(starts) holds) and
    lists each start seen: a change of the highlighted tune, or the bar
    starting over on the same one. `since` is the tune known to be current
    before (the first reading may already show the one after it). The
    highlight must always be on exactly one visible row."""
    t0 = time.monotonic()
    s = jb.screen()
    current, bar = s.current_tune if since is None else since, s.bar_width
    starts = []
    while time.monotonic() - t0 < seconds:
        now = time.monotonic() - t0  # the window is grabbed first, then read
        s = jb.screen()
        if len(s.current_rows) != 1:
            raise TestFailure(f"highlighted rows {s.current_rows}: {s.describe()}")
        if s.current_tune != current:
            starts.append(Start(s.current_tune, now, False))
        elif s.bar_width < bar - RESTART_DROP:
            starts.append(Start(s.current_tune, now, True))
        current, bar = s.current_tune, s.bar_width
        if until and until(starts):
            break
        time.sleep(POLL)
    return starts, s


def bar_stands_still(jb):
    """Waits for two readings 0.6 s apart with the same bar; returns it."""
    def probe():
        a = jb.screen().bar_width
        time.sleep(0.6)
        b = jb.screen().bar_width
        return (a,) if a == b else None
    return wait_until("the bar to stand still", 3, probe)[0]
