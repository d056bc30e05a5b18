"""The Windows jukebox under Wine, for the end-to-end scenarios written for
the Linux one (jukebox_session.Jukebox takes this class's place when
BRINDLEWICK names an .exe). The program runs in a private Wine prefix, in
Wine's virtual desktop on the test's own Xvfb, with a PulseAudio server of
the test's own for its sound unless the test brings one. Window pixels are
read and pointed at through the client area's place on the desktop, which
window_place.exe asks Windows for; the close button is clicked where the
window says it is."""
import os
import subprocess
import time

from jukebox_session import HOLD, Jukebox, TestFailure, env_path, spawn
from pulse_server import PulseServer
from wine import Prefix

CLIENT = (288, 228)
OUTSIDE = (620, 460)  # a desktop pixel outside the program's window
WINE_NICENESS = -10


class WineJukebox(Jukebox):
    SCREEN = "1024x768"  # Wine's 640 x 480 desktop at its top left, and room around

    def __init__(self, depth=24):
        super().__init__(depth)
        self.place_tool = env_path("WINDOW_PLACE")
        self.prefix = Prefix()
        self.pulse = None
        self.origin = None
        self.close_button = None

    def start(self, env=None, skin_folder=None):
        env = dict(env or {})
        if "XDG_RUNTIME_DIR" not in env:
            self.pulse = self.pulse or PulseServer(self.workdir)
            env = self.pulse.env(env)
        super().start(self.prefix.env(env), skin_folder)

    def _launch(self):
        # Above the machine's other work, as Windows runs its sound: Wine's
        # sound clock falls behind when its threads wait for the processor
        # (on a busy machine tunes played at half their pace), and Wine here
        # cannot raise a thread's priority as Windows does.
        return spawn(["nice", "-n", str(WINE_NICENESS), "wine", self.program], cwd=self.folder,
                     env=self.env, stdout=self.logs[0], stderr=self.logs[1])

    def _find_window(self):
        if self.proc.poll() is not None:
            raise TestFailure(f"program ended with {self.proc.returncode} before its window "
                              f"showed: {self.stderr()}")
        # Into a file: Wine's own services, started meanwhile, would hold a
        # pipe open for as long as they run.
        place = os.path.join(self.workdir, "place.txt")
        with open(place, "w+") as out:
            r = subprocess.run(["wine", self.place_tool], env=self.env, stdout=out,
                               stderr=subprocess.DEVNULL, timeout=30)
            out.seek(0)
            found = out.read().split()
        desktop = self.xdotool("search", "--name", "Wine desktop", check=False).stdout.split()
        if r.returncode != 0 or len(found) != 6 or not desktop:
            return None
        x, y, w, h, close_x, close_y = map(int, found)
        if (w, h) != CLIENT:  # (made at another size, then given its own)
            print(f"the client area is {w} x {h} meanwhile")
            return None
        self.origin = (x, y)
        self.close_button = (close_x, close_y)
        # Windows' pointer starts in the desktop's middle, inside the
        # window: it moves out as Wine sees the X pointer move there.
        for spot in ((OUTSIDE[0] + 1, OUTSIDE[1]), OUTSIDE):
            self.xdotool("mousemove", "--sync", *map(str, spot))
        return desktop[0]

    @staticmethod
    def _inside(x, y):
        return 0 <= x < CLIENT[0] and 0 <= y < CLIENT[1]

    def _on_screen(self, x, y):
        if self.origin is None or not self._inside(x, y):
            return OUTSIDE
        return x + self.origin[0], y + self.origin[1]

    def move(self, x, y, wait_drawn=True):
        if self.origin is not None and not self._inside(x, y) and self.at != (x, y):
            # Out in two motions: on a busy machine Wine now and then misses
            # a pointer that leaves the window in one.
            self.xdotool("mousemove", "--sync", str(OUTSIDE[0] - 10), str(OUTSIDE[1]))
        super().move(x, y, wait_drawn)

    def screenshot(self):
        desktop = super().screenshot()
        x, y = self.origin
        self.last_image = desktop[y:y + CLIENT[1], x:x + CLIENT[0]].copy()
        return self.last_image

    def send_close(self):
        """Clicks the window's close button, as a Windows user would."""
        self.xdotool("mousemove", "--sync", *map(str, self.close_button))
        self.at, self.pointer = None, None
        self.xdotool("mousedown", "1")
        time.sleep(HOLD)
        self.xdotool("mouseup", "1")

    def close(self, failed=False):
        self.prefix.close()  # ends the program and the rest of Wine there
        if self.pulse is not None:
            self.pulse.stop()
        super().close(failed)
