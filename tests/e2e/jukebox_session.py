"""One run of the real jukebox for an end-to-end test: its own Xvfb display,
a temporary folder of generated tunes and the demo skin, the program started
there, real pointer and key events from xdotool, and screenshots read back
with screen_reading. Everything started is stopped again when the session
ends, also when the test fails or is killed (the children are told to go
with SIGTERM when this process dies).

Paths come from the environment CTest sets: BRINDLEWICK, E2E_TUNES,
E2E_GLYPHS, E2E_SEND_CLOSE, E2E_SKIN_DIR. A test exits 77 (skipped) when a
tool it needs is missing."""
import ctypes
import itertools
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import skin_model as sm
from images import read_xwd, write_ppm
from screen_reading import ScreenMismatch, ScreenReader

SKIPPED = 77
PR_SET_PDEATHSIG = 1
HOLD = 0.15          # seconds a key or button is held: several frames
PARK = (600, 450)    # a pointer position outside the window
TITLE_SPOT = (200, 3)  # inside, where the cursor covers only the title strip


class TestFailure(Exception):
    pass


def need_tools(*tools):
    for tool in tools:
        if shutil.which(tool) is None:
            print(f"skipped: {tool} not installed")
            sys.exit(SKIPPED)


def env_path(name):
    value = os.environ.get(name)
    if not value:
        print(f"skipped: {name} not set (run through ctest)")
        sys.exit(SKIPPED)
    return value


def _die_with_parent():
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def spawn(args, **kw):
    """Starts a child that gets SIGTERM if this process dies first."""
    return subprocess.Popen(args, preexec_fn=_die_with_parent, **kw)


def end_process(proc, grace=5):
    """Asks a child to end (SIGTERM), kills it after `grace` seconds."""
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def wait_until(what, timeout, probe, interval=0.05):
    """Calls probe() until it returns something true and returns that;
    raises TestFailure naming `what` after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        got = probe()
        if got:
            return got
        if time.monotonic() > deadline:
            raise TestFailure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class XServer:
    """An Xvfb server on a display number of its own. Numbers are drawn at
    random from a range the usual servers (:0, :99, -displayfd's first free
    number) keep out of, so tests running side by side do not meet."""

    def __init__(self, workdir, depth=24, size="640x480"):
        need_tools("Xvfb", "xdotool", "xwd")
        log = open(os.path.join(workdir, "xvfb.log"), "ab")
        rng = random.Random(os.getpid() ^ time.monotonic_ns())
        for attempt in range(5):
            number = rng.randrange(200, 1000)
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            self.display = ":%d" % number
            # -noreset: a server that resets when its last client leaves
            # drops the connections made meanwhile (the program's, once in
            # a few starts, right after the readiness probe below).
            self.proc = spawn(["Xvfb", self.display, "-screen", "0", f"{size}x{depth}",
                               "-noreset", "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                              stderr=log)
            if self._answers():
                return
            self.stop()
        raise TestFailure("Xvfb did not start")

    def _answers(self):
        """Whether our server runs and takes connections (a server of the
        same number that is not ours would leave ours ended)."""
        env = dict(os.environ, DISPLAY=self.display)
        for _ in range(100):
            if self.proc.poll() is not None:
                return False
            if subprocess.run(["xdotool", "getmouselocation"], env=env, capture_output=True,
                              timeout=5).returncode == 0:
                return self.proc.poll() is None
            time.sleep(0.05)
        return False

    def stop(self):
        end_process(self.proc)


class Jukebox:
    """The program in a folder of its own, under its own X server.

        with Jukebox() as jb:
            jb.add_tune("a.ptcop", 2.0, [0, 7])
            jb.start()
            jb.click(*sm.row_centre(0))
            jb.wait_screen("row 1 highlighted", 3, lambda s: s.current_tune == 1)
    """

    SCREEN = "640x480"  # the X server's, the window at its top left

    def __init__(self, depth=24):
        self.program = env_path("BRINDLEWICK")
        self.tune_tool = env_path("E2E_TUNES")
        self.skin_dir = env_path("E2E_SKIN_DIR")
        self.send_close_tool = env_path("E2E_SEND_CLOSE")
        self.glyph_tool = env_path("E2E_GLYPHS")
        self.workdir = tempfile.mkdtemp(prefix="brindlewick_e2e_")
        self.folder = os.path.join(self.workdir, "tunes")
        os.mkdir(self.folder)
        self.depth = depth
        self.proc = None
        self.window = None
        self.pointer = None   # where the program's cursor should be, if inside
        self.at = None        # where the pointer is
        self.last_image = None
        self.x = None
        self.reader = None
        self.logs = []
        for name in ("UI.bmp", "BG.bmp"):
            shutil.copy(os.path.join(self.skin_dir, name), self.folder)

    # -- set-up -----------------------------------------------------------
    def add_tune(self, name, seconds, semitones):
        """Writes a tune of `seconds` playing `semitones` (from A4) in turn."""
        subprocess.run([self.tune_tool, os.path.join(self.folder, name), "%g" % seconds] +
                       [str(s) for s in semitones], check=True)

    def start(self, env=None, skin_folder=None):
        """Starts the X server and the program (with `env` added to its
        environment); waits for its window, for a first frame that reads
        back whole, and for input to reach it. The window is read as drawn
        with the skin files in `skin_folder` (by default the program's
        folder)."""
        if self.x is None:
            self.x = XServer(self.workdir, self.depth, self.SCREEN)
        self.env = dict(os.environ, DISPLAY=self.x.display, SDL_AUDIODRIVER="dummy")
        self.env.update(env or {})
        self.err_path = os.path.join(self.workdir, "program.err")
        self.logs = [open(os.path.join(self.workdir, "program.out"), "wb"),
                     open(self.err_path, "wb")]
        self.proc = self._launch()
        self.window = wait_until("the program's window", 10, self._find_window)
        skin = sm.Skin(skin_folder or self.folder, sm.load_glyphs(self.glyph_tool))
        self.reader = ScreenReader(skin, tolerance=0 if self.depth >= 24 else 8)
        self.skin = skin
        self.wait_screen("a first frame", 10, lambda s: True, first_frame=True)
        self._wait_pointer_followed()
        self.park()

    def _launch(self):
        return spawn([self.program], cwd=self.folder, env=self.env, stdout=self.logs[0],
                     stderr=self.logs[1])

    def _on_screen(self, x, y):
        """The X screen's pixel for window pixel (x, y)."""
        return x, y

    def _wait_pointer_followed(self):
        """Waits until the program's cursor follows the pointer, the sign
        that input reaches it. A motion in its first 0.1-0.2 s of frames
        is lost (the cursor stays at the window's centre), so the pointer
        goes back and forth between two spots until one is seen."""
        spots = [TITLE_SPOT, (TITLE_SPOT[0] + 1, TITLE_SPOT[1])]
        deadline = time.monotonic() + 10
        for i in itertools.count():
            spot = spots[i % 2]
            self.move(*spot, wait_drawn=False)
            try:
                wait_until("the cursor", 0.5,
                           lambda: self.reader.cursor_at(self.screenshot(), spot))
                return
            except TestFailure:
                if time.monotonic() > deadline:
                    raise TestFailure("the program's cursor never followed the pointer")

    def _find_window(self):
        if self.proc.poll() is not None:
            raise TestFailure(f"program ended with {self.proc.returncode} before its window "
                              f"showed: {self.stderr()}")
        r = self.xdotool("search", "--class", "allegro", check=False)
        ids = r.stdout.split()
        if not ids:
            return None
        # The window must be mapped and 288 x 228 before it can be grabbed.
        for wid in ids:
            g = self.xdotool("getwindowgeometry", wid, check=False).stdout
            if "288x228" in g:
                return wid
        return None

    # -- input --------------------------------------------------------------
    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True,
                              text=True, timeout=10, check=check)

    def move(self, x, y, wait_drawn=True):
        """Puts the pointer at window pixel (x, y) and, unless told not to,
        waits for a frame that shows the cursor there (or no longer shows
        it, for a place outside the window)."""
        before = self.pointer
        if self.at != (x, y):  # --sync waits for a motion, so never for none
            self.xdotool("mousemove", "--sync", *map(str, self._on_screen(x, y)))
            self.at = (x, y)
        inside = 0 <= x < sm.WINDOW_W and 0 <= y < sm.WINDOW_H
        self.pointer = (x, y) if inside else None
        if not wait_drawn or self.reader is None or before == self.pointer or \
                self.proc.poll() is not None:
            return
        if inside:
            wait_until(f"the cursor at {x},{y}", 5,
                       lambda: self.reader.cursor_at(self.screenshot(), (x, y)))
        elif before is not None:
            wait_until("the cursor to leave", 5,
                       lambda: not self.reader.cursor_at(self.screenshot(), before))

    def park(self):
        """Takes the pointer out of the window (the program's cursor goes)."""
        self.move(*PARK)

    def press(self, x, y, hold=HOLD):
        """Holds the left button at (x, y) for `hold` seconds."""
        self.move(x, y)
        self.xdotool("mousedown", "1")
        time.sleep(hold)
        self.xdotool("mouseup", "1")

    def mouse_down(self, x, y):
        self.move(x, y)
        self.xdotool("mousedown", "1")

    def mouse_up(self):
        self.xdotool("mouseup", "1")

    def key_down(self, name):
        self.move(*TITLE_SPOT)
        self.xdotool("keydown", name)

    def key_up(self, name):
        self.xdotool("keyup", name)

    def click(self, x, y, hold=HOLD):
        """Presses at (x, y), then takes the pointer away."""
        self.press(x, y, hold)
        self.park()

    def press_button(self, k):
        """Holds column button k until it shows lit, lets go, and waits for
        it to go dark (a momentary button); returns that last screen."""
        what = sm.BUTTON_NAMES[k]
        self.mouse_down(*sm.button_centre(k))
        self.wait_screen(f"{what} lit while held", 2, lambda s: s.lit[k])
        self.mouse_up()
        self.park()
        return self.wait_screen(f"{what} dark again", 2, lambda s: not s.lit[k])

    def key(self, name, hold=HOLD):
        """Holds a key for `hold` seconds. Keys go to the window under the
        pointer, so the pointer waits on the title strip meanwhile."""
        self.key_down(name)
        time.sleep(hold)
        self.key_up(name)
        self.park()

    def send_close(self):
        subprocess.run([self.send_close_tool, self.window], env=self.env, check=True, timeout=10)

    # -- output -------------------------------------------------------------
    def screenshot(self):
        r = subprocess.run(["xwd", "-silent", "-id", self.window], env=self.env,
                           capture_output=True, timeout=10)
        if r.returncode != 0:
            raise TestFailure(f"xwd failed: {r.stderr.decode(errors='replace')}")
        self.last_image, self.last_depth = read_xwd(r.stdout)
        return self.last_image

    def x_depth(self):
        """Bits a pixel of the window as the X server keeps it."""
        self.screenshot()
        return self.last_depth

    def screen(self):
        """What the window shows now (raises ScreenMismatch if it is not a
        frame the skin can make)."""
        if self.proc.poll() is not None:
            raise TestFailure(f"program ended with {self.proc.returncode}: {self.stderr()}")
        return self.reader.read(self.screenshot(), self.pointer)

    def wait_screen(self, what, timeout, predicate, first_frame=False):
        """Reads the window until predicate(screen) holds; returns that
        screen. A frame caught while being copied to the screen may read
        wrong once, so a mismatch fails only when the next reading is one
        too; while waiting for the first frame, none does."""
        seen = {"screen": None, "mismatch": None}

        def probe():
            try:
                s = self.screen()
            except ScreenMismatch as e:
                if seen["mismatch"] is not None and not first_frame:
                    raise
                seen["mismatch"] = e
                return None
            seen["mismatch"] = None
            seen["screen"] = s
            return s if predicate(s) else None

        try:
            return wait_until(what, timeout, probe)
        except (TestFailure, ScreenMismatch) as e:
            last = seen["screen"].describe() if seen["screen"] else "nothing readable"
            raise TestFailure(f"{e}; last screen: {last}") from None

    def stderr(self):
        try:
            with open(self.err_path, "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    def wait_exit(self, timeout):
        """Waits for the program to end; returns its exit code and how long
        it took."""
        t0 = time.monotonic()
        try:
            rc = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure(f"program still running {timeout} s later") from None
        return rc, time.monotonic() - t0

    # -- teardown -----------------------------------------------------------
    def close(self, failed=False):
        end_process(self.proc)
        if self.x is not None:
            self.x.stop()
        for log in self.logs:
            log.close()
        if failed and self.last_image is not None:
            keep = os.path.join(tempfile.gettempdir(), "brindlewick_e2e_last_%d.ppm" % os.getpid())
            write_ppm(keep, self.last_image)
            print(f"last screenshot kept in {keep}")
        shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, kind, value, tb):
        self.close(failed=kind is not None)
        return False


def run(test):
    """Runs test() as a script: prints its result, exits 0 on success and 1
    on failure (with the reason)."""
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(1))
    name = os.path.basename(sys.argv[0])
    try:
        test()
    except (TestFailure, ScreenMismatch, AssertionError) as e:
        print(f"FAIL {name}: {e}")
        sys.exit(1)
    print(f"ok {name}")


# The Windows build (BRINDLEWICK naming an .exe) runs under Wine: the same
# scenarios then drive it through WineJukebox (tests/windows).
if os.environ.get("BRINDLEWICK", "").endswith(".exe"):
    from wine_jukebox import WineJukebox as Jukebox  # noqa: E402,F811
