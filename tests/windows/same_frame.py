"""The Windows jukebox under Wine shows what the Linux one shows: in the
demo folder (the demo skin and tunes; on Windows the zip's, started by its
demo.cmd as a Windows user starts it), with tune 2 picked and then stopped
and the pointer outside, both windows' 288 x 228 pixels are equal, but for
the progress bar's length, which the moment of the stop sets (each bar is
read back as the skin draws a bar of its length, and the trough past the
longer one is equal too)."""
import glob
import os
import shutil
import tempfile

import subprocess

import numpy as np

import skin_model as sm
from jukebox_session import TestFailure, run, spawn
from watching import bar_stands_still
from wine_jukebox import WINE_NICENESS, WineJukebox

LinuxJukebox = WineJukebox.__bases__[0]
PICKED = 1  # the row of tune 2
LINUX_TEMP = "/dev/shm"


def copy_in_name_order(tunes, folder):
    """Copies the tunes so that the folder gives their names in name order,
    as Windows' folders do (a tmpfs folder gives them newest first; ext4
    in an order of its own, hence the Linux jukebox's folder in /dev/shm)."""
    for order in (sorted(tunes), sorted(tunes, reverse=True)):
        for tune in order:
            shutil.copy(tune, folder)
        names = [n for n in os.listdir(folder) if n.endswith(".ptcop")]
        if names == sorted(names):
            return
        for tune in order:
            os.remove(os.path.join(folder, os.path.basename(tune)))
    raise TestFailure("the folder gives its names in no order the test can make")


class ZipDemo(WineJukebox):
    """The zip's demo.cmd, which starts brindlewick.exe in the zip's demo
    folder and ends."""

    def _launch(self):
        demo_cmd = os.path.join(os.path.dirname(self.program), "demo.cmd")
        subprocess.run(["nice", "-n", str(WINE_NICENESS), "wine", "cmd", "/c",
                        "Z:" + demo_cmd.replace("/", "\\")], env=self.env, stdout=self.logs[0],
                       stderr=self.logs[1], check=True, timeout=60)
        return spawn(["wineserver", "-w"], env=self.env)  # ends with the program


def stopped_frame(jb, copy=None):
    if copy:
        copy(glob.glob(os.path.join(jb.skin_dir, "*.pt*")), jb.folder)
    jb.start()
    jb.click(*sm.row_centre(PICKED))
    jb.wait_screen("tune 2 playing", 5, lambda s: s.current_rows == [PICKED] and s.bar_width > 0)
    jb.key("space")
    bar_stands_still(jb)
    s = jb.screen()
    return jb.last_image.copy(), s


def test():
    if os.path.isdir(LINUX_TEMP):
        tempfile.tempdir = LINUX_TEMP
    with LinuxJukebox() as linux:
        tempfile.tempdir = None
        linux.program = os.environ["LINUX_BRINDLEWICK"]
        linux_image, linux_screen = stopped_frame(linux, copy_in_name_order)
    with ZipDemo() as windows:
        windows_image, windows_screen = stopped_frame(windows)
    print(f"Linux: {linux_screen.describe()}\nWindows: {windows_screen.describe()}")
    if linux_image.shape != windows_image.shape:
        raise TestFailure(f"frames of {linux_image.shape} and {windows_image.shape}")
    longer = max(linux_screen.bar_width, windows_screen.bar_width)
    x, y = sm.FILL_PLACE
    height = sm.FILL_STRIP[3] - sm.FILL_STRIP[1]
    same = np.ones(linux_image.shape[:2], bool)
    same[y:y + height, x:x + longer] = False  # the bars, each read back above
    differ = np.argwhere(same & np.any(linux_image != windows_image, axis=2))
    if len(differ):
        row, col = differ[0]
        raise TestFailure(f"{len(differ)} pixels differ, the first at x {col}, y {row}: "
                          f"{linux_image[row, col]} on Linux, {windows_image[row, col]} on Windows")
    linux_screen.bar_width = windows_screen.bar_width
    if linux_screen != windows_screen:
        raise TestFailure("the two read back differently")
    print(f"the frames are equal but for the bars' first {longer} columns")


if __name__ == "__main__":
    run(test)
