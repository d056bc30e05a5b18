"""The frames a running jukebox presents a second, counted from outside by
the frame_counter helper through the X DAMAGE extension (its path comes
from E2E_FRAME_COUNTER, set by CTest)."""
import subprocess
import threading

from jukebox_session import TestFailure, end_process, env_path, spawn


class FrameCounter:
    """Counts the frames jb's window presents, one figure a second, from
    the moment the constructor returns until stop()."""

    def __init__(self, jb):
        tool = env_path("E2E_FRAME_COUNTER")
        self.proc = spawn([tool, jb.window], env=jb.env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
        first = self.proc.stdout.readline().strip()
        if first != "ready":
            self.proc.kill()
            raise TestFailure(f"frame_counter: {first!r} {self.proc.stderr.read().strip()}")
        self.per_second = []
        self.gone = False
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for line in self.proc.stdout:
            fields = line.split()
            if fields == ["gone"]:
                self.gone = True
            elif len(fields) == 2:
                self.per_second.append(int(fields[1]))

    def stop(self):
        """Ends counting; returns the frames of each whole second counted."""
        end_process(self.proc)
        self._reader.join(5)
        return list(self.per_second)


def rates(per_second, window):
    """Frames a second over each whole `window` seconds of per_second."""
    return [sum(per_second[i:i + window]) / window
            for i in range(0, len(per_second) - window + 1, window)]
