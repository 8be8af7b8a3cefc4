#!/usr/bin/env python3
"""Writes the known-bad inputs under fuzz/regressions/<target>/ that CTest
replays through every fuzz target: every prefix of a small sample of each
format, absurd dimensions, palette overruns, PCX runs past the row, icon
directories pointing anywhere, and a JPEG with thousands of scans.

Crash files found by fuzzing go, with a telling name, into
fuzz/regressions/<target>/found/, which this script leaves alone.

Run after tests/decoders/make_fixtures.py (it takes samples from there);
cjpeg (libjpeg-turbo-progs) makes the JPEG samples. Output is committed.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
FIXTURES = os.path.join(TOP, "tests", "decoders", "fixtures")
OUT = os.path.join(HERE, "regressions")


def fixture(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


def put(target, name, data):
    d = os.path.join(OUT, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def prefixes(target, stem, data, step=1):
    """Every prefix (or every step-th, and always the last 16) of a sample."""
    lengths = sorted(set(list(range(0, len(data), step)) + list(range(max(0, len(data) - 16), len(data)))))
    for n in lengths:
        put(target, "%s-cut%05d" % (stem, n), data[:n])


def patched(data, at, fmt, *values):
    b = bytearray(data)
    struct.pack_into(fmt, b, at, *values)
    return bytes(b)


def cjpeg(width, height, *args):
    ppm = b"P6 %d %d 255\n" % (width, height) + bytes(
        (x * 16 + y * 3) & 255 for y in range(height) for x in range(width) for _ in range(3))
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.ppm")
        with open(src, "wb") as f:
            f.write(ppm)
        return subprocess.run(["cjpeg", *args, src], check=True, capture_output=True).stdout


def find_marker(data, marker, last=False):
    found = -1
    i = data.find(b"\xff" + bytes((marker,)))
    while i >= 0:
        found = i
        if not last:
            break
        i = data.find(b"\xff" + bytes((marker,)), i + 1)
    return found


def bmp_cases():
    sample = fixture("bmp_4_odd_width.bmp")
    prefixes("bmp", "pal4", sample)
    prefixes("bmp", "v5", fixture("bmp_24_v5_header.bmp"), step=3)
    for name in sorted(os.listdir(FIXTURES)):
        if name.endswith(".bmp"):
            put("bmp", "fixture-" + name, fixture(name))
    rgb = fixture("bmp_24_bottom_up.bmp")
    put("bmp", "offset-beyond-file.bmp", patched(rgb, 10, "<I", 0xFFFFFFFF))
    put("bmp", "offset-zero.bmp", patched(rgb, 10, "<I", 0))
    put("bmp", "width-int-max.bmp", patched(rgb, 18, "<ii", 0x7FFFFFFF, 1))
    put("bmp", "width-int-min.bmp", patched(rgb, 18, "<ii", -0x80000000, 1))
    put("bmp", "height-int-min.bmp", patched(rgb, 18, "<ii", 3, -0x80000000))
    put("bmp", "side-65536.bmp", patched(rgb, 18, "<ii", 65536, 1))
    put("bmp", "max-side-1bit.bmp", patched(patched(rgb, 18, "<ii", 65535, 65535), 28, "<H", 1))
    put("bmp", "60000-square-in-58-bytes.bmp", rgb[:58][:18] + struct.pack("<ii", 60000, 60000) + rgb[26:58])
    # Palette overruns: absurd biClrUsed, a table cut by the end of the file,
    # indices far beyond the table.
    pal = fixture("bmp_8_index_beyond_table.bmp")
    put("bmp", "clrused-absurd.bmp", patched(pal, 46, "<I", 0xFFFFFFFF))
    put("bmp", "clrused-absurd-offset-early.bmp", patched(patched(pal, 46, "<I", 0xFFFFFFF0), 10, "<I", 54))
    put("bmp", "table-cut-by-eof.bmp", patched(pal, 46, "<I", 256)[:60])
    put("bmp", "header-size-huge.bmp", patched(rgb, 14, "<I", 0xFFFFFFFF))
    put("bmp", "header-size-124-cut.bmp", patched(rgb, 14, "<I", 124))


def icon_cases():
    prefixes("icon", "ico24", fixture("ico_24_mask.ico"))
    prefixes("icon", "cur24", fixture("cur_24_mask.cur"))
    prefixes("icon", "ico4", fixture("ico_choice_32x16.ico"), step=97)
    for name in sorted(os.listdir(FIXTURES)):
        if name.endswith((".ico", ".cur")):
            put("icon", "fixture-" + name, fixture(name))
    ico = fixture("ico_24_mask.ico")
    put("icon", "offset-plus-size-wraps.ico", patched(ico, 6 + 8, "<II", 0x20, 0xFFFFFFF0))
    put("icon", "offset-at-eof.ico", patched(ico, 6 + 12, "<I", len(ico)))
    put("icon", "size-zero.ico", patched(ico, 6 + 8, "<I", 0))
    put("icon", "count-65535.ico", patched(ico, 4, "<H", 0xFFFF))
    put("icon", "dib-width-negative.ico", patched(ico, 22 + 4, "<i", -4))
    put("icon", "dib-height-negative.ico", patched(ico, 22 + 8, "<i", -6))
    put("icon", "dib-height-one.ico", patched(ico, 22 + 8, "<i", 1))
    put("icon", "dib-max-side.ico", patched(ico, 22 + 4, "<ii", 65535, 131070))
    put("icon", "dib-8bit-clrused-absurd.ico", patched(fixture("ico_8_short_table.ico"), 22 + 32, "<I", 0xFFFFFFFF))
    put("icon", "png-signature-only.ico", patched(ico, 6 + 8, "<I", 8)[:22] + b"\x89PNG\r\n\x1a\n")


def pcx_cases():
    prefixes("pcx", "mono", fixture("pcx_mono.pcx"))
    prefixes("pcx", "rgb24", fixture("pcx_rgb24.pcx"))
    prefixes("pcx", "pal256", fixture("pcx_256.pcx"), step=11)
    for name in sorted(os.listdir(FIXTURES)):
        if name.endswith(".pcx"):
            put("pcx", "fixture-" + name, fixture(name))
    head = bytearray(fixture("pcx_256.pcx")[:128])
    def header(width, height, planes, bpl, bits=8):
        h = bytearray(head)
        struct.pack_into("<B", h, 3, bits)
        struct.pack_into("<HHHH", h, 4, 0, 0, width - 1, height - 1)
        h[65] = planes
        struct.pack_into("<H", h, 66, bpl)
        return bytes(h)
    # Runs past the row: every code is a run of 63 over lines of one byte.
    put("pcx", "runs-past-row.pcx", header(1, 64, 1, 1) + b"\xff\x07" * 64)
    put("pcx", "runs-past-row-rgb.pcx", header(2, 8, 3, 2) + b"\xff\x07" * 32)
    put("pcx", "run-code-at-end.pcx", header(4, 1, 1, 4) + b"\x01\x02\xc5")
    put("pcx", "bpl-65535-width-1.pcx", header(1, 2, 1, 65535) + b"\xff\x00" * 3000)
    put("pcx", "bpl-zero.pcx", header(4, 2, 1, 0) + b"\x00" * 16)
    put("pcx", "max-side.pcx", header(65535, 1953, 1, 65535) + b"\xff\x01" * 100)
    put("pcx", "planes-255.pcx", header(4, 1, 255, 4) + b"\x00" * 1024)
    put("pcx", "palette-marker-only.pcx", header(2, 1, 1, 2) + b"\x01\x02" + b"\x0c")
    put("pcx", "header-only.pcx", header(2, 1, 1, 2))


def jpeg_cases():
    base = cjpeg(8, 8, "-quality", "75", "-optimize")
    prog = cjpeg(8, 8, "-progressive")
    grey = cjpeg(8, 8, "-grayscale")
    prefixes("jpeg", "baseline", base)
    prefixes("jpeg", "progressive", prog)
    prefixes("jpeg", "grey", grey, step=2)
    sof = find_marker(base, 0xC0)
    put("jpeg", "sof-65535-square.jpg", patched(base, sof + 5, ">HH", 65535, 65535))
    put("jpeg", "sof-30000x4000.jpg", patched(base, sof + 5, ">HH", 4000, 30000))
    put("jpeg", "sof-zero-height.jpg", patched(base, sof + 5, ">HH", 0, 16))
    put("jpeg", "sof-12-bit.jpg", patched(base, sof + 4, ">B", 12))
    put("jpeg", "sof-255-components.jpg", patched(base, sof + 9, ">B", 255))
    psof = find_marker(prog, 0xC2)
    put("jpeg", "progressive-60000x2000.jpg", patched(prog, psof + 5, ">HH", 2000, 60000))
    # Thousands of scans: the last scan of the progressive sample repeated.
    sos, eoi = find_marker(prog, 0xDA, last=True), find_marker(prog, 0xD9, last=True)
    put("jpeg", "scans-3000.jpg", prog[:eoi] + prog[sos:eoi] * 3000 + prog[eoi:])
    # EXIF blocks pointing anywhere.
    def with_app1(body):
        return base[:2] + b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body + base[2:]
    put("jpeg", "exif-ifd-beyond.jpg", with_app1(b"Exif\0\0II*\0\xf0\xff\xff\x7f"))
    put("jpeg", "exif-entries-65535.jpg", with_app1(b"Exif\0\0MM\0*\0\0\0\x08\xff\xff\x01\x12"))
    put("jpeg", "exif-cut.jpg", with_app1(b"Exif\0\0I"))
    put("jpeg", "soi-only.jpg", b"\xff\xd8")
    put("jpeg", "soi-eoi.jpg", b"\xff\xd8\xff\xd9")


def picture_cases():
    # The picture target sees everything through recognition: one of each.
    for target in ("bmp", "icon", "pcx", "jpeg"):
        d = os.path.join(OUT, target)
        for name in sorted(os.listdir(d)):
            if "-cut" not in name:
                shutil.copy(os.path.join(d, name), os.path.join(OUT, "picture", target + "-" + name))


def gif_cases():
    # For the GIF reader's target: every prefix of a still and an animation.
    suite = os.path.join(TOP, "tests", "corpora", "gif-test-suite", "gifs")
    for name in ("static_transparent.gif", "animated_transparent_loop.gif"):
        with open(os.path.join(suite, name), "rb") as f:
            prefixes("gif", os.path.splitext(name)[0], f.read(), step=3)
    still = open(os.path.join(suite, "static_nontransparent.gif"), "rb").read()
    put("gif", "screen-65535-square.gif", patched(still, 6, "<HH", 65535, 65535))
    put("gif", "screen-zero.gif", patched(still, 6, "<HH", 0, 0))


def main():
    if not os.path.isdir(FIXTURES):
        sys.exit("run tests/decoders/make_fixtures.py first")
    # Everything but the crash files kept by hand under <target>/found/.
    for root, dirs, files in os.walk(OUT):
        dirs[:] = [d for d in dirs if d != "found"]
        for f in files:
            os.remove(os.path.join(root, f))
    os.makedirs(os.path.join(OUT, "picture"), exist_ok=True)
    bmp_cases()
    icon_cases()
    pcx_cases()
    jpeg_cases()
    picture_cases()
    gif_cases()


if __name__ == "__main__":
    main()
