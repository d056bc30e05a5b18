"""Pixel arrays from the two image formats the end-to-end tests meet: the
skin's BMP files and xwd screenshots. Both give numpy arrays of shape
(height, width, 3), uint8, red-green-blue."""
import struct

import numpy as np


class ImageError(Exception):
    pass


def read_bmp(path):
    """A 24-bit uncompressed BMP (the kind the skins are). Raises ImageError
    for anything else or a file too short for what its header says."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        raise ImageError(f"{path}: not a BMP file")
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if bpp != 24 or compression != 0 or width <= 0 or height == 0:
        raise ImageError(f"{path}: not a 24-bit uncompressed BMP ({bpp} bits, compression {compression})")
    rows = abs(height)
    stride = (width * 3 + 3) // 4 * 4
    if offset + stride * rows > len(data):
        raise ImageError(f"{path}: pixel data cut short")
    raw = np.frombuffer(data, np.uint8, count=stride * rows, offset=offset).reshape(rows, stride)
    pixels = raw[:, :width * 3].reshape(rows, width, 3)[:, :, ::-1]
    return np.ascontiguousarray(pixels[::-1] if height > 0 else pixels)


XWD_HEADER_FIELDS = 25


def _channel(values, mask):
    """One colour channel from packed pixels, scaled to 0..255 by repeating
    its bits, as X servers expand narrow channels."""
    shift = (mask & -mask).bit_length() - 1
    bits = bin(mask).count("1")
    v = (values & mask) >> shift
    out = np.zeros_like(v)
    filled = 0
    while filled < 8:
        out = (out << bits) | v
        filled += bits
    return (out >> (filled - 8)).astype(np.uint8)


def read_xwd(data):
    """An xwd dump of a TrueColor window in ZPixmap format, 16, 24 or 32
    bits a pixel. Raises ImageError for other layouts or cut-short data."""
    if len(data) < XWD_HEADER_FIELDS * 4:
        raise ImageError("xwd: too short")
    h = struct.unpack_from(">%dI" % XWD_HEADER_FIELDS, data, 0)
    header_size, _, pixmap_format, depth, width, height = h[:6]
    byte_order, bits_per_pixel, bytes_per_line = h[7], h[11], h[12]
    red_mask, green_mask, blue_mask, ncolors = h[14], h[15], h[16], h[19]
    if pixmap_format != 2 or bits_per_pixel not in (16, 24, 32):
        raise ImageError(f"xwd: format {pixmap_format}, {bits_per_pixel} bits a pixel not handled")
    start = header_size + ncolors * 12
    if start + bytes_per_line * height > len(data):
        raise ImageError("xwd: pixel data cut short")
    rows = np.frombuffer(data, np.uint8, count=bytes_per_line * height, offset=start)
    rows = rows.reshape(height, bytes_per_line)[:, :width * bits_per_pixel // 8]
    if bits_per_pixel == 24:  # (Wine's desktop window) three bytes a pixel
        b = rows.reshape(height, width, 3).astype(np.uint32)
        if byte_order != 0:
            b = b[:, :, ::-1]
        values = b[:, :, 0] | b[:, :, 1] << 8 | b[:, :, 2] << 16
    else:
        dtype = np.dtype("<u%d" % (bits_per_pixel // 8)) if byte_order == 0 else \
            np.dtype(">u%d" % (bits_per_pixel // 8))
        values = np.ascontiguousarray(rows).view(dtype).astype(np.uint32).reshape(height, width)
    return np.stack([_channel(values, red_mask), _channel(values, green_mask),
                     _channel(values, blue_mask)], axis=2), depth


def write_ppm(path, pixels):
    """Saves pixels as a binary PPM (for looking at a failing screen)."""
    h, w, _ = pixels.shape
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (w, h))
        f.write(np.ascontiguousarray(pixels, np.uint8).tobytes())
