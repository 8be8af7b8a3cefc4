"""Pixels for the end-to-end checks: 24-bit BMP files read and written with
the standard library only, and the picture arithmetic that the program must
reproduce on screen (the four filters, the overlay's gradient), written out
again independently of the program's code so that a saved file can be
compared with it pixel by pixel.

A picture is a list of rows, top row first; a row is a list of (r, g, b)
tuples."""

import struct


def write_bmp(path, rows):
    """Writes an uncompressed 24-bit BMP, rows stored bottom-up."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            data += bytes((b, g, r))
        data += bytes(stride - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


class BmpError(Exception):
    pass


def read_bmp(path):
    """Reads a file as the program saves it: "BM", a 40-byte information
    header, 24 bits per pixel, no compression, bottom-up rows padded to a
    multiple of four bytes, the sizes in the headers consistent with the
    file's length. Anything else is an error."""
    with open(path, "rb") as f:
        blob = f.read()
    if len(blob) < 54:
        raise BmpError(f"{path}: {len(blob)} bytes, shorter than the two headers")
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", blob, 0)
    (info_size, width, height, planes, bits, compression, image_size,
     _, _, used, important) = struct.unpack_from("<IiiHHIIiiII", blob, 14)
    if magic != b"BM":
        raise BmpError(f"{path}: starts with {magic!r}, not BM")
    if (info_size, planes, bits, compression, used, important) != (40, 1, 24, 0, 0, 0):
        raise BmpError(f"{path}: header {info_size}, {planes} planes, {bits} bits, compression {compression}")
    if width <= 0 or height <= 0:
        raise BmpError(f"{path}: size {width} x {height}")
    stride = (width * 3 + 3) & ~3
    if offset != 54 or image_size != stride * height or file_size != 54 + image_size or len(blob) != file_size:
        raise BmpError(f"{path}: offset {offset}, image size {image_size}, file size {file_size}, "
                       f"length {len(blob)} for {width} x {height}")
    rows = []
    for y in range(height):
        start = 54 + (height - 1 - y) * stride
        line = blob[start:start + width * 3]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, width * 3, 3)])
    return rows


def size_of(rows):
    return len(rows[0]), len(rows)


def crop(rows, left, top, width, height):
    return [row[left:left + width] for row in rows[top:top + height]]


# ---------------------------------------------------------------- filters
# Each walks the surface column by column, x and y both up to and including
# the width and height, in place; reads outside the surface give white and
# writes outside are dropped. All arithmetic in double precision, truncated.

WHITE = (255, 255, 255)


class Surface:
    def __init__(self, rows):
        self.w, self.h = size_of(rows)
        self.px = [list(row) for row in rows]

    def read(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return WHITE

    def write(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def run(self, kernel):
        for x in range(self.w + 1):
            for y in range(self.h + 1):
                kernel(self, x, y)
        return self.px


def blur_kernel(s, x, y):
    r = g = b = 0.0
    for yy in (int(float(y) - 1), y, int(float(y) + 1)):
        for xx in (int(float(x) - 1), x, int(float(x) + 1)):
            c = s.read(xx, yy)
            r += c[0]
            g += c[1]
            b += c[2]
    s.write(x, y, (int(r / 10), int(g / 10), int(b / 10)))


def darken_kernel(s, x, y):
    r, g, b = s.read(x, y)
    s.write(x, y, (int(float(r) * r / 256), int(float(g) * g / 256), int(float(b) * b / 256)))


def yellow_kernel(s, x, y):
    r, g, b = s.read(x, y)
    r = int(float(g) * b / 256)
    g = int(float(b) * r / 256)
    b = int(float(r) * g / 256)
    s.write(x, y, (r, g, b))


def gray_kernel(s, x, y):
    r, g, b = s.read(x, y)
    level = int(r * 0.3 + g * 0.59 + b * 0.11)
    s.write(x, y, (level, level, level))


FILTERS = {"blur": blur_kernel, "darken": darken_kernel, "yellow": yellow_kernel, "gray": gray_kernel}


def apply_filter(name, rows):
    return Surface(rows).run(FILTERS[name])


# --------------------------------------------------------------- gradient

def gradient_color_at(mode, x, y, w, h, stops):
    """The overlay's three-stop gradient at (x, y) of a w x h box."""
    if mode == 1:
        p, length = y, h
    elif mode == 2:
        p, length = x, w
    elif mode == 3:
        p, length = x + y, 2 * min(w, h)
    else:
        p, length = (w - 1 - x) + y, 2 * min(w, h)
    s = length // 2
    i = p // s if s else 0
    if i > 1:
        return stops[2]
    t = (p % s) / s if s else 0.0
    a, b = stops[i], stops[i + 1]
    return tuple(a[k] + int(t * (b[k] - a[k])) for k in range(3))
