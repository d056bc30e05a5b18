"""A process's resident memory as /proc tells it from outside: now, at its
peak, and sampled over time."""
import threading
import time

from jukebox_session import TestFailure


def resident_kib(pid):
    """VmRSS of process pid in KiB."""
    return _status_kib(pid, "VmRSS")


def peak_resident_kib(pid):
    """VmHWM (the peak resident size since start or the last reset)."""
    return _status_kib(pid, "VmHWM")


def reset_peak_resident(pid):
    """Sets pid's VmHWM back to its present VmRSS (needs its owner or root);
    returns False where the kernel does not allow it."""
    try:
        with open(f"/proc/{pid}/clear_refs", "w") as f:
            f.write("5")
        return True
    except OSError:
        return False


def _status_kib(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise TestFailure(f"no {field} in /proc/{pid}/status")


class ResidentSampler:
    """Samples a process's VmRSS every `interval` seconds in a thread."""

    def __init__(self, pid, interval=1.0):
        self.pid = pid
        self.samples = []   # (seconds since start, KiB)
        self._t0 = time.monotonic()
        self._stopping = threading.Event()
        self._thread = threading.Thread(target=self._run, args=(interval,), daemon=True)
        self._thread.start()

    def _run(self, interval):
        while not self._stopping.wait(interval):
            try:
                self.samples.append((time.monotonic() - self._t0, resident_kib(self.pid)))
            except (OSError, TestFailure):
                return

    def stop(self):
        self._stopping.set()
        self._thread.join(5)
        return list(self.samples)
