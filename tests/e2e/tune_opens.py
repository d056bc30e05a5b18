"""The tune files opened in a folder, watched with inotify: in a test
folder, each one the jukebox loads."""
import ctypes
import os
import select
import struct
import threading
import time

from jukebox_session import TestFailure

TUNE_ENDINGS = (".ptcop", ".pttune")
IN_OPEN = 0x20
IN_NONBLOCK = 0o4000
EVENT_HEAD = struct.Struct("iIII")


class TuneOpens:
    """Counts the openings of tune files in `folder` (by anyone: in a test
    folder, the jukebox loading a tune), with the time of each."""

    def __init__(self, folder):
        self._libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = self._libc.inotify_init1(IN_NONBLOCK)
        if self.fd < 0 or self._libc.inotify_add_watch(self.fd, folder.encode(), IN_OPEN) < 0:
            raise TestFailure(f"inotify: {os.strerror(ctypes.get_errno())}")
        self.opens = []   # (monotonic time, file name bytes)
        self._stopping = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        while not self._stopping.is_set():
            ready, _, _ = select.select([self.fd], [], [], 0.2)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 65536)
            except BlockingIOError:
                continue
            now = time.monotonic()
            at = 0
            while at + EVENT_HEAD.size <= len(data):
                _, mask, _, length = EVENT_HEAD.unpack_from(data, at)
                name = data[at + EVENT_HEAD.size:at + EVENT_HEAD.size + length].rstrip(b"\0")
                at += EVENT_HEAD.size + length
                if mask & IN_OPEN and name.endswith(tuple(e.encode() for e in TUNE_ENDINGS)):
                    self.opens.append((now, name))

    def since(self, t):
        """Openings at or after monotonic time t."""
        return [o for o in self.opens if o[0] >= t]

    def stop(self):
        self._stopping.set()
        self._thread.join(5)
        os.close(self.fd)
        return list(self.opens)
