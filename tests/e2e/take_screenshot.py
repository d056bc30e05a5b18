"""Takes the README's picture: the jukebox in a copy of the demo folder,
its second tune playing for a few seconds, the pointer resting on an empty
row.

    take_screenshot.py OUT.png      (build target docs_screenshot)
"""
import glob
import os
import shutil
import subprocess
import sys

import skin_model as sm
from images import write_ppm
from jukebox_session import Jukebox, need_tools, run

PLAYING_ROW = 1
BAR_AT = 110


def take():
    need_tools("convert")
    out = sys.argv[1]
    with Jukebox() as jb:
        for pattern in ("*.ptcop", "*.pttune"):
            for tune in glob.glob(os.path.join(jb.skin_dir, pattern)):
                shutil.copy(tune, jb.folder)
        jb.start()
        jb.click(*sm.row_centre(PLAYING_ROW))
        jb.wait_screen("the bar a good way on", 60, lambda s: s.bar_width >= BAR_AT)
        jb.move(*sm.row_centre(6))  # an empty row
        jb.screen()
        ppm = os.path.join(jb.workdir, "shot.ppm")
        write_ppm(ppm, jb.last_image)
        subprocess.run(["convert", ppm, "-strip", out], check=True)
        print(f"wrote {out}")


if __name__ == "__main__":
    run(take)
