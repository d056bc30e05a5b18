"""Skin files the program cannot use, each in its own run of the real
program: a sheet cut short, a 100 MB sheet, a sheet whose header claims a
huge picture, a sheet in a BMP variant the loader does not read (the 32-bit
V5 kind image editors write by default), a backdrop cut short. Each time
the program starts, says on stderr which file it could not use and why, and
draws its built-in skin (every pixel of the window is checked against it),
and plays."""
import os
import re
import struct

from images import read_bmp
from jukebox_session import Jukebox, TestFailure, env_path, run

MIB = 1 << 20


def truncated(data):
    return data[:len(data) // 2]


def huge_file(path, data):
    with open(path, "wb") as f:
        f.write(data)
        f.truncate(100 * MIB)  # sparse: costs no disk


def huge_picture(data):
    out = bytearray(data)
    struct.pack_into("<ii", out, 18, 40000, 40000)
    return bytes(out)


def v5_32bit(path):
    """The same picture as a BMP with a 124-byte V5 header, 32 bits a pixel
    and bit-field masks, rows bottom-up."""
    rgb = read_bmp(path)
    h, w = rgb.shape[:2]
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        for r, g, b in rgb[y]:
            pixels += bytes((b, g, r, 255))
    header = struct.pack("<IiiHHIIiiII", 124, w, h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    header += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    header += struct.pack("<I", 0x73524742) + bytes(36 + 12) + struct.pack("<IIII", 4, 0, 0, 0)
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + \
        bytes(pixels)


def spoil(jb, case):
    """Replaces the folder's skin file for `case`; returns its name."""
    path = {"UI": os.path.join(jb.folder, "UI.bmp"), "BG": os.path.join(jb.folder, "BG.bmp")}
    with open(path["UI"], "rb") as f:
        sheet = f.read()
    with open(path["BG"], "rb") as f:
        tile = f.read()
    if case == "huge file":
        huge_file(path["UI"], sheet[:54])
        return "UI.bmp"
    made = {"truncated sheet": ("UI", lambda: truncated(sheet)),
            "huge picture": ("UI", lambda: huge_picture(sheet)),
            "V5 32-bit sheet": ("UI", lambda: v5_32bit(path["UI"])),
            "truncated backdrop": ("BG", lambda: truncated(tile))}
    which, make = made[case]
    data = make()
    with open(path[which], "wb") as f:
        f.write(data)
    return which + ".bmp"


CASES = ["truncated sheet", "huge file", "huge picture", "V5 32-bit sheet",
         "truncated backdrop"]


def check(case):
    with Jukebox() as jb:
        jb.add_tune("tune.ptcop", 10, [0])
        file_name = spoil(jb, case)
        jb.start(skin_folder=env_path("E2E_SKIN_DIR"))  # the built-in skin is the demo's
        said = re.findall(r"^brindlewick: %s (.+); using the built-in skin$"
                          % re.escape(file_name), jb.stderr(), re.M)
        if len(said) != 1:
            raise TestFailure(f"{case}: stderr does not say why {file_name} is not used: "
                              f"{jb.stderr()!r}")
        jb.key("space")
        s = jb.wait_screen("the tune playing", 3, lambda s: s.current_tune == 1 and
                           s.bar_width > 0)
        if s.error:
            raise TestFailure(f"{case}: error line {s.error!r}")
        print(f"{case}: built-in skin drawn and playing; stderr: {file_name} {said[0]}")


def test():
    for case in CASES:
        check(case)


if __name__ == "__main__":
    run(test)
