#!/usr/bin/env python3
"""Writes the small BMP, ICO, CUR and PCX fixtures of the decoder tests.

Every fixture NAME.EXT comes with NAME.expect: either the word "refused", or
"W H" followed by H lines of W pixels as 0xAARRGGBB hex words. The expected
pixels are the picture each file was made from, never a decoder's output.

Run from anywhere: python3 tests/decoders/make_fixtures.py
Only the standard library is used, and the output is the same on every run.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "fixtures")

BLACK = 0xFF000000
WHITE = 0xFFFFFFFF


def argb(r, g, b, a=255):
    return (a << 24) | (r << 16) | (g << 8) | b


def rgb_of(p):
    return (p >> 16) & 255, (p >> 8) & 255, p & 255


def write(name, data, expected):
    """expected: None for a refusal, else a list of rows of ARGB words."""
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    stem = os.path.splitext(name)[0]
    with open(os.path.join(OUT, stem + ".expect"), "w") as f:
        if expected is None:
            f.write("refused\n")
        else:
            f.write("%d %d\n" % (len(expected[0]), len(expected)))
            for row in expected:
                f.write(" ".join("%08X" % p for p in row) + "\n")


# ---------------------------------------------------------------- BMP / DIB

def pack_row(values, bits):
    """Packs one row of palette indices (bits <= 8) or ARGB words, padded to 4 bytes."""
    out = bytearray()
    if bits <= 8:
        acc, n = 0, 0
        for v in values:
            acc = (acc << bits) | v
            n += bits
            if n == 8:
                out.append(acc)
                acc, n = 0, 0
        if n:
            out.append(acc << (8 - n))
    elif bits == 24:
        for p in values:
            r, g, b = rgb_of(p)
            out += bytes((b, g, r))
    elif bits == 32:
        for p in values:
            r, g, b = rgb_of(p)
            out += bytes((b, g, r, p >> 24))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def info_header(width, height, bits, clr_used=0, size=40, compression=0, planes=1):
    h = struct.pack("<IiiHHIIiiII", 40 if size < 40 else size, width, height, planes, bits,
                    compression, 0, 2835, 2835, clr_used, 0)
    return h + bytes(size - 40)


def palette_bytes(palette):
    return b"".join(bytes((p & 255, (p >> 8) & 255, (p >> 16) & 255, 0)) for p in palette)


def bmp(rows, bits, palette=(), clr_used=None, header_size=40, gap=b"", top_down=False,
        height_field=None, compression=0, planes=1, cut=None, drop_last_padding=False):
    """rows: top-down rows of indices (bits <= 8) or ARGB words."""
    width, height = len(rows[0]), len(rows)
    stored = rows if top_down else rows[::-1]
    pixel_rows = [pack_row(r, bits) for r in stored]
    pixels = b"".join(pixel_rows)
    if drop_last_padding:
        pixels = pixels[:len(pixels) - len(pixel_rows[-1]) + (width * bits + 7) // 8]
    if clr_used is None:
        clr_used = len(palette)
    if height_field is None:
        height_field = -height if top_down else height
    info = info_header(width, height_field, bits, clr_used, header_size, compression, planes)
    table = palette_bytes(palette)
    offset = 14 + len(info) + len(table) + len(gap)
    body = info + table + gap + pixels
    data = struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, offset) + body
    return data[:cut] if cut is not None else data


def make_bmps():
    red, green, blue = argb(255, 0, 0), argb(0, 255, 0), argb(0, 0, 255)
    grey, yellow = argb(128, 128, 128), argb(255, 255, 0)
    img24 = [[red, green, blue], [grey, yellow, WHITE]]
    write("bmp_24_bottom_up.bmp", bmp(img24, 24), img24)
    write("bmp_24_top_down.bmp", bmp(img24, 24, top_down=True), img24)
    write("bmp_24_v5_header.bmp", bmp(img24, 24, header_size=124), img24)
    write("bmp_24_last_row_unpadded.bmp", bmp(img24, 24, drop_last_padding=True), img24)
    # The pixel offset is honoured: junk between the table and the pixels.
    write("bmp_24_offset_gap.bmp", bmp(img24, 24, gap=b"\xAA" * 37), img24)
    write("bmp_24_truncated.bmp", bmp(img24, 24, cut=14 + 40 + 12 + 5), None)

    # The fourth byte of 32-bit pixels is not alpha.
    img32 = [[argb(10, 20, 30, 0), argb(40, 50, 60, 7)], [argb(1, 2, 3, 255), argb(200, 100, 50, 128)]]
    write("bmp_32_opaque.bmp", bmp(img32, 32), [[p | 0xFF000000 for p in r] for r in img32])

    pal = [argb(0, 0, 0), argb(255, 0, 0), argb(0, 255, 0), argb(0, 0, 255)]
    # 4 bits, odd width: the last nibble of each row is half a byte.
    idx4 = [[0, 1, 2, 3, 1], [3, 2, 1, 0, 2], [1, 1, 3, 3, 0]]
    write("bmp_4_odd_width.bmp", bmp(idx4, 4, pal), [[pal[i] for i in r] for r in idx4])
    # A colour table shorter than the indices: missing entries are black.
    idx8 = [[0, 1, 2, 3, 4, 5, 255]]
    write("bmp_8_index_beyond_table.bmp", bmp(idx8, 8, pal),
          [[pal[i] if i < len(pal) else BLACK for i in r] for r in idx8])
    # One colour in the table of a 1-bit picture.
    idx1 = [[0, 1, 0, 1, 1, 0, 0, 1, 1]]
    one = [argb(10, 200, 30)]
    write("bmp_1_one_entry_table.bmp", bmp(idx1, 1, one), [[one[0] if i == 0 else BLACK for i in r] for r in idx1])
    # biClrUsed larger than 2^bits: the table is read up to 2^bits entries
    # and the pixels are found through the offset.
    big = pal + [argb(9, 9, 9)] * 300
    write("bmp_8_oversized_table.bmp", bmp([[0, 1, 2, 3]], 8, big), [[pal[i] for i in (0, 1, 2, 3)]])
    # biClrUsed far larger than the file: only what the file holds is read.
    write("bmp_8_absurd_clrused.bmp", bmp([[0, 1, 2, 3]], 8, pal, clr_used=0x7FFFFFFF),
          [[pal[i] for i in (0, 1, 2, 3)]])

    # Refusals.
    write("bmp_8_rle.bmp", bmp([[0, 1, 2, 3]], 8, pal, compression=1), None)
    write("bmp_16_bit.bmp", bmp([[0, 1]], 8, pal)[:28] + struct.pack("<H", 16) + bmp([[0, 1]], 8, pal)[30:], None)
    write("bmp_bitfields.bmp", bmp(img24, 32, compression=3), None)
    write("bmp_two_planes.bmp", bmp(img24, 24, planes=2), None)
    write("bmp_os2_header.bmp", struct.pack("<2sIHHI", b"BM", 26 + 4, 0, 0, 26)
          + struct.pack("<IHHHH", 12, 1, 1, 1, 24) + b"\0\0\xff\0", None)
    write("bmp_height_int_min.bmp", bmp(img24, 24, height_field=-0x80000000), None)
    write("bmp_height_zero.bmp", bmp(img24, 24, height_field=0), None)
    # 58 bytes that claim 60000 x 60000 pixels: refused before allocating.
    write("bmp_huge_claim.bmp", struct.pack("<2sIHHI", b"BM", 58, 0, 0, 54)
          + info_header(60000, 60000, 24) + b"\0\0\0\0", None)
    # Within the limits (100 million pixels), but 58 bytes cannot hold them.
    write("bmp_data_claim.bmp", struct.pack("<2sIHHI", b"BM", 58, 0, 0, 54)
          + info_header(10000, 10000, 24) + b"\0\0\0\0", None)
    write("bmp_too_many_pixels.bmp", struct.pack("<2sIHHI", b"BM", 58, 0, 0, 54)
          + info_header(65535, 65535, 1) + b"\0\0\0\0", None)


# ---------------------------------------------------------------- ICO / CUR

def icon_dib(rows, bits, palette=(), mask=None, with_mask=True):
    """rows: top-down indices or ARGB words; mask: top-down rows of 0/1 (1 transparent)."""
    width, height = len(rows[0]), len(rows)
    info = info_header(width, 2 * height, bits, len(palette) if bits <= 8 else 0)
    xor = b"".join(pack_row(r, bits) for r in rows[::-1])
    if mask is None:
        mask = [[0] * width for _ in range(height)]
    andm = b"".join(pack_row(r, 1) for r in mask[::-1]) if with_mask else b""
    return info + palette_bytes(palette) + xor + andm


def icon_file(images, kind=1, count=None, dir_fields=None):
    """images: list of (width byte, height byte, colour count, bytes)."""
    head = struct.pack("<HHH", 0, kind, len(images) if count is None else count)
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for i, (w, h, colours, blob) in enumerate(images):
        size, off = len(blob), offset + len(blobs)
        if dir_fields and i in dir_fields:
            size, off = dir_fields[i].get("size", size), dir_fields[i].get("offset", off)
        # planes/bits for icons; hotspot x/y for cursors
        entries += struct.pack("<BBBBHHII", w, h, colours, 0, 1 if kind == 1 else 3,
                               32 if kind == 1 else 5, size, off)
        blobs += blob
    return head + entries + blobs


def png_rgba(rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    width, height = len(rows[0]), len(rows)
    raw = b"".join(b"\0" + b"".join(bytes((*rgb_of(p), p >> 24)) for p in r) for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def solid(w, h, p):
    return [[p] * w for _ in range(h)]


def make_icons():
    red, green, blue = argb(255, 0, 0), argb(0, 255, 0), argb(0, 0, 255)
    pal16 = [argb(i * 16, 255 - i * 16, i * 8) for i in range(16)]

    # Entry choice: the first 32-wide entry with 16 colours or more wins.
    a = icon_dib(solid(16, 16, red), 24)
    b = icon_dib([[i % 16 for i in range(32)] for _ in range(32)], 4, pal16)
    c = icon_dib(solid(48, 48, blue), 24)
    write("ico_choice_32x16.ico", icon_file([(16, 16, 0, a), (32, 32, 16, b), (48, 48, 0, c)]),
          [[pal16[i % 16] for i in range(32)] for _ in range(32)])
    # No entry qualifies (32 wide with 0 colours does not): the last one.
    d = icon_dib(solid(32, 32, green), 32)
    e = icon_dib(solid(8, 8, argb(1, 2, 3)), 24)
    write("ico_choice_last.ico", icon_file([(32, 32, 0, d), (8, 8, 16, e)]), solid(8, 8, argb(1, 2, 3)))

    # AND mask: 1 bits are transparent.
    rows = [[red, green, blue, WHITE] for _ in range(3)]
    mask = [[0, 1, 0, 0], [1, 1, 1, 1], [0, 0, 0, 1]]
    exp = [[0 if m else p for p, m in zip(r, mr)] for r, mr in zip(rows, mask)]
    write("ico_24_mask.ico", icon_file([(4, 3, 0, icon_dib(rows, 24, mask=mask))]), exp)
    # A 1-bit icon whose colour image is followed by its mask.
    mono = [[0, 1, 1, 0, 1, 0, 0, 1, 1], [1, 0, 0, 1, 0, 1, 1, 0, 0]]
    mmask = [[1, 0, 0, 0, 0, 0, 0, 0, 1], [0] * 9]
    bw = [BLACK, WHITE]
    write("ico_1_mask.ico", icon_file([(9, 2, 2, icon_dib(mono, 1, bw, mmask))]),
          [[0 if m else bw[i] for i, m in zip(r, mr)] for r, mr in zip(mono, mmask)])
    # 8 bits with a short table: indices beyond it are black.
    pal3 = [red, green, blue]
    idx = [[0, 1, 2, 3], [200, 2, 1, 0]]
    write("ico_8_short_table.ico", icon_file([(4, 2, 0, icon_dib(idx, 8, pal3))]),
          [[pal3[i] if i < 3 else BLACK for i in r] for r in idx])
    # 32 bits with alpha: the alpha channel decides and the mask is ignored.
    alpha = [[argb(255, 0, 0, 0), argb(0, 255, 0, 128)], [argb(0, 0, 255, 255), argb(9, 8, 7, 1)]]
    write("ico_32_alpha.ico", icon_file([(2, 2, 0, icon_dib(alpha, 32, mask=[[1, 1], [1, 1]]))]), alpha)
    # 32 bits, alpha all zero: an old-style icon that relies on its mask.
    noalpha = [[argb(255, 0, 0, 0), argb(0, 255, 0, 0)]]
    write("ico_32_zero_alpha.ico", icon_file([(2, 1, 0, icon_dib(noalpha, 32, mask=[[0, 1]]))]),
          [[argb(255, 0, 0), 0]])
    # No AND mask in the file: the image is opaque.
    write("ico_24_no_mask.ico", icon_file([(2, 1, 0, icon_dib([[red, blue]], 24, with_mask=False))]), [[red, blue]])
    # The directory claims 64 x 64 with 256 colours; the image says 3 x 2 at
    # 24 bits. The image's own header decides.
    img = [[red, green, blue], [blue, green, red]]
    write("ico_dir_disagrees.ico", icon_file([(64, 64, 0, icon_dib(img, 24))]), img)
    # The directory's size runs far past the end of the file: cut off.
    write("ico_size_beyond_file.ico", icon_file([(3, 2, 0, icon_dib(img, 24))], dir_fields={0: {"size": 0x7FFFFFFF}}), img)
    # The image offset lies beyond the end of the file.
    write("ico_offset_beyond_file.ico", icon_file([(3, 2, 0, icon_dib(img, 24))], dir_fields={0: {"offset": 0x7FFFFFF0}}),
          None)
    # The directory counts five entries; the file ends inside the second.
    one = icon_file([(3, 2, 0, icon_dib(img, 24))])
    write("ico_short_directory.ico", one[:4] + struct.pack("<H", 5) + one[6:6 + 16 + 9], None)
    # The colour image is cut short.
    write("ico_truncated_image.ico", icon_file([(3, 2, 0, icon_dib(img, 24))])[:6 + 16 + 40 + 10], None)
    # An image that claims an absurd size inside a tiny file.
    write("ico_huge_claim.ico", icon_file([(0, 0, 0, info_header(10000, 20000, 32) + b"\0" * 16)]), None)
    # Compressed embedded images are refused like compressed BMP files.
    write("ico_rle.ico", icon_file([(2, 1, 0, info_header(2, 2, 8, 0, compression=1) + b"\0" * 64)]), None)
    # A PNG image inside: decoded through the PNG hook (the test passes one).
    png_img = [[argb(255, 0, 0, 255), 0], [argb(0, 0, 255, 100), WHITE]]
    write("ico_png.ico", icon_file([(2, 2, 0, png_rgba(png_img))]), png_img)

    # A cursor is the same, with the hotspot in the directory.
    cur = [[green, 0xFF000000], [WHITE, red]]
    write("cur_24_mask.cur", icon_file([(2, 2, 0, icon_dib(cur, 24, mask=[[0, 0], [1, 0]]))], kind=2),
          [[green, BLACK], [0, red]])
    write("cur_choice_last.cur", icon_file([(32, 32, 0, d), (2, 2, 0, icon_dib(cur, 24))], kind=2), cur)


# ---------------------------------------------------------------- PCX

def rle_line(line):
    out, i = bytearray(), 0
    while i < len(line):
        v, n = line[i], 1
        while i + n < len(line) and line[i + n] == v and n < 63:
            n += 1
        if n > 1 or v >= 0xC0:
            out += bytes((0xC0 | n, v))
        else:
            out.append(v)
        i += n
    return bytes(out)


def pcx_header(width, height, bits, planes, bytes_per_line, version=5, xmin=0, ymin=0):
    h = struct.pack("<BBBBHHHHHH", 0x0A, version, 1, bits, xmin, ymin, xmin + width - 1, ymin + height - 1, 72, 72)
    h += bytes(48) + b"\0" + bytes((planes,)) + struct.pack("<HH", bytes_per_line, 1)
    return h + bytes(128 - len(h))


def pcx(lines, width, height, bits, planes, bpl, palette=None, version=5, raw=None, xmin=0, ymin=0):
    """lines: the decoded scan lines (planes x bpl bytes each)."""
    data = pcx_header(width, height, bits, planes, bpl, version, xmin, ymin)
    data += raw if raw is not None else b"".join(rle_line(l) for l in lines)
    if palette is not None:
        data += b"\x0C" + b"".join(bytes(rgb_of(p)) for p in palette)
    return data


def make_pcx():
    pal = [argb(i, (i * 7) & 255, 255 - i) for i in range(256)]
    # 256 colours, odd width with a padded scan line, long runs and single
    # bytes of 0xC0 and above (which must be written as runs of one).
    w, h = 5, 3
    idx = [[1, 1, 1, 200, 7], [0xC5, 0xC5, 0xFF, 0, 0], [9, 8, 7, 6, 5]]
    lines = [bytes(r + [0]) for r in idx]
    write("pcx_256.pcx", pcx(lines, w, h, 8, 1, 6, pal), [[pal[i] for i in r] for r in idx])
    # The window origin need not be 0.
    write("pcx_256_origin.pcx", pcx(lines, w, h, 8, 1, 6, pal, xmin=100, ymin=40), [[pal[i] for i in r] for r in idx])
    # Without the palette block the indices are shown as grey levels.
    write("pcx_256_no_palette.pcx", pcx(lines, w, h, 8, 1, 6), [[argb(i, i, i) for i in r] for r in idx])
    # A run that goes past the end of its scan line is cut there; the next
    # line starts with a code of its own.
    raw = bytes((0xC0 | 63, 3)) + bytes((0xC0 | 63, 4))
    write("pcx_run_past_row.pcx", pcx(None, 4, 2, 8, 1, 4, pal, raw=raw), [[pal[3]] * 4, [pal[4]] * 4])
    # A zero-length run writes nothing.
    raw = bytes((0xC0, 9, 1, 2, 0xC2, 3))
    write("pcx_zero_run.pcx", pcx(None, 4, 1, 8, 1, 4, pal, raw=raw), [[pal[1], pal[2], pal[3], pal[3]]])
    # Data that ends before the last line.
    write("pcx_256_truncated.pcx", pcx(lines[:2], w, h, 8, 1, 6, pal), None)
    # 24 bits: three planes of 8 bits, red, green and blue lines.
    rgb = [[argb(10, 20, 30), argb(40, 50, 60), argb(70, 80, 90)], [argb(255, 0, 0), argb(0, 255, 0), argb(0, 0, 255)]]
    lines = [bytes([rgb_of(p)[c] for p in r] + [0]) for r in rgb for c in range(3)]
    lines = [b"".join(lines[3 * i:3 * i + 3]) for i in range(len(rgb))]
    write("pcx_rgb24.pcx", pcx(lines, 3, 2, 8, 3, 4), rgb)
    # Monochrome, version 3: 1 bits are white.
    bits = [[1, 0, 1, 1, 0, 0, 1, 0, 1, 1], [0, 1, 0, 0, 1, 1, 0, 1, 0, 0]]
    lines = [pack_row(r, 1)[:2] for r in bits]
    write("pcx_mono.pcx", pcx(lines, 10, 2, 1, 1, 2, version=3), [[WHITE if v else BLACK for v in r] for r in bits])
    # Refusals: four planes, absurd size, a window with xmax < xmin, a scan
    # line too short for the width.
    write("pcx_four_planes.pcx", pcx([bytes(8)], 2, 1, 8, 4, 2), None)
    write("pcx_huge_claim.pcx", pcx(None, 65535, 65535, 8, 1, 65535, pal, raw=b"\xFF\x00" * 8), None)
    write("pcx_data_claim.pcx", pcx(None, 10000, 10000, 8, 1, 10000, pal, raw=b"\xFF\x00" * 8), None)
    bad = bytearray(pcx([bytes(4)], 4, 1, 8, 1, 4, pal))
    struct.pack_into("<H", bad, 8, 0)
    struct.pack_into("<H", bad, 4, 10)
    write("pcx_window_inverted.pcx", bytes(bad), None)
    write("pcx_line_too_short.pcx", pcx([bytes(2)], 4, 1, 8, 1, 2, pal), None)


def main():
    os.makedirs(OUT, exist_ok=True)
    for f in os.listdir(OUT):
        os.remove(os.path.join(OUT, f))
    make_bmps()
    make_icons()
    make_pcx()


if __name__ == "__main__":
    main()
