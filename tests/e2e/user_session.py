#!/usr/bin/env python3
"""One user session with the real program in a real window: open a picture
of known pixels through the open dialog, save it, run each filter and take
it away again, type a caption, pick colours and gradients, nudge the overlay
in both modes and save at several typed sizes. After every save the file on
the desktop of the private HOME is read back and its pixels are compared
with what the program must show.

Run by user_session.sh inside Xvfb with a window manager:
    user_session.py <program> <work dir> [--without-desktop]

With --without-desktop the private HOME has no desktop folder at first."""

import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True  # nothing is written into the source tree

import desktop  # noqa: E402
import pixels  # noqa: E402
from desktop import Failure  # noqa: E402

# Client-area places of the controls the session uses: a group box's
# place plus the control's place inside it, at the control's centre.
G3 = (208, 18)    # 分组框3 "基础设置："
G2 = (16, 218)    # 分组框2 "文字移动"
G1 = (208, 219)   # 分组框1 "字体设置："


def centre(group, x, y, w, h):
    return group[0] + x + w // 2, group[1] + y + h // 2


OPEN = centre(G3, 328, 23, 72, 22)          # 按钮1 打开图片
ADD_TEXT = centre(G3, 329, 59, 72, 22)      # 按钮2 加入文字
SAVE = centre(G3, 328, 94, 72, 22)          # 按钮3 保存图片
CAPTION = centre(G3, 64, 59, 256, 22)       # 编辑框2
WIDTH_BOX = (G3[0] + 98 + 15, G3[1] + 130 + 7)   # 编辑框3
HEIGHT_BOX = (G3[0] + 166 + 15, G3[1] + 130 + 7)  # 编辑框4
GRADIENT = centre(G3, 66, 154, 88, 20)      # 组合框1
PICKERS = {                                 # 颜色选择器1..5, left part of each box
    1: (G3[0] + 64 + 20, G3[1] + 94 + 11),
    2: (G3[0] + 210 + 20, G3[1] + 95 + 11),
    3: (G3[0] + 205 + 10, G3[1] + 154 + 11),
    4: (495 + 10, 172 + 11),
    5: (G3[0] + 371 + 10, G3[1] + 153 + 11),
}
UP = centre(G2, 71, 23, 32, 43)             # 图形按钮1
DOWN = centre(G2, 74, 95, 32, 43)           # 图形按钮2
RIGHT = centre(G2, 119, 63, 32, 43)         # 图形按钮3
LEFT = centre(G2, 31, 63, 32, 43)           # 图形按钮4
MOVE_MODE = (G2[0] + 92 + 8, G2[1] + 159 + 8)     # 单选框2 调整框位置
FILTER_BUTTONS = {
    "blur": centre(G1, 277, 18, 58, 22),    # 按钮4 滤镜模糊
    "darken": centre(G1, 344, 18, 58, 22),  # 按钮5 滤镜变暗
    "yellow": centre(G1, 277, 48, 58, 22),  # 按钮6 滤镜变黄
    "gray": centre(G1, 344, 48, 58, 22),    # 按钮7 滤镜黑白
}
CANCEL_FILTERS = centre(G1, 280, 77, 120, 22)  # 按钮8 取消所有滤镜

# Palette cells of the colour pop-up, 7 columns of 18 x 18 pixels inside a
# 2-pixel edge.
CELL = {"red": 12, "white": 15, "green": 10, "magenta": 13, "yellow": 14}
RGB = {"red": (255, 0, 0), "white": (255, 255, 255), "green": (0, 255, 0),
       "magenta": (255, 0, 255), "yellow": (255, 255, 0)}

SIDE = 183                 # the picture box's client area
BOX = 185                  # the picture box with its one-pixel border
SAVED_NAME = "处理后的图片(TamselPelorin).jpg"
TITLE = r"TamselPelorinV1\.0"


def halves_picture():
    """60 x 30 pixels, left half orange, right half blue: stretched to the
    box, each half keeps its colour away from the seam."""
    return [[(200, 100, 50) if x < 30 else (20, 60, 220) for x in range(60)] for y in range(30)]


def test_picture():
    """183 x 183 pixels of known, smooth and everywhere different colours."""
    return [[(x * 255 // 182, y * 255 // 182, 255 - (x + y) * 255 // 364) for x in range(SIDE)]
            for y in range(SIDE)]


class Session:
    def __init__(self, program, home, workdir):
        self.app = program
        self.saved = os.path.join(home, "Desktop", SAVED_NAME)
        self.workdir = workdir
        self.steps = 0
        self.started = time.monotonic()

    def ok(self, text):
        self.steps += 1
        print(f"ok {self.steps} ({time.monotonic() - self.started:.1f} s): {text}", flush=True)

    # -- dialogs and pop-ups
    def open_picture(self, path):
        before = self.app.other_windows()
        self.app.click(*OPEN)
        dialog = self.app.wait_other_window("the open dialog", before)
        self.app.activate(dialog)
        # The file-name field has the focus when the dialog opens, holding
        # the last confirmed name, if any, selected.
        self.app.key("ctrl+a")
        self.app.type(path)
        self.app.key("Return")
        self.app.wait_gone("the open dialog", dialog)

    def pick_color(self, picker, color):
        before = self.app.other_windows()
        self.app.click(*PICKERS[picker])
        popup = self.app.wait_other_window(f"the pop-up of colour picker {picker}", before)
        x, y = self.app.relative(popup)
        cell = CELL[color]
        self.app.hover(x + 2 + (cell % 7) * 18 + 9, y + 2 + (cell // 7) * 18 + 9)
        self.app.click(x + 2 + (cell % 7) * 18 + 9, y + 2 + (cell // 7) * 18 + 9)
        self.app.wait_gone("the colour pop-up", popup)

    def choose_next_gradient(self):
        """Opens the gradient list and takes the item below the selected one."""
        before = self.app.other_windows()
        self.app.click(*GRADIENT)
        popup = self.app.wait_other_window("the gradient list", before)
        self.app.key("Down", "Return")
        self.app.wait_gone("the gradient list", popup)

    def type_into(self, place, text):
        self.app.click(*place)
        self.app.key("ctrl+a", "BackSpace")
        if text:
            self.app.type(text)

    def close_message(self, caption):
        """Waits for the message box after a save and closes it with Enter;
        returns its caption. None when no box came (the click was not taken)."""
        try:
            box, name = self.app.wait_named_window("the message box", "信息|错误", timeout=3)
        except Failure:
            return None
        if caption not in name:
            raise Failure(f"the message box {name!r} came instead of {caption!r}")
        self.app.activate(box)
        self.app.key("Return")
        self.app.wait_gone("the message box", box)
        return name

    def save(self, caption="信息"):
        """Clicks 保存图片 and returns the pixels of the saved file. A click
        that comes while a filter still runs is not taken: it is repeated."""
        if os.path.exists(self.saved):
            os.remove(self.saved)
        for attempt in range(int(self.app.timeout(10))):
            self.app.click(*SAVE)
            if self.close_message(caption):
                break
            print(f"   保存图片 clicked again: no message box after click {attempt + 1}", flush=True)
        else:
            raise Failure("no message box after clicking 保存图片")
        if not os.path.exists(self.saved):
            raise Failure(f"the message came but {self.saved} was not written")
        return pixels.read_bmp(self.saved)

    def save_at(self, width_text, height_text, caption="信息"):
        self.type_into(WIDTH_BOX, width_text)
        self.type_into(HEIGHT_BOX, height_text)
        return self.save(caption)

    def filter(self, name):
        self.app.click(*FILTER_BUTTONS[name])


# ------------------------------------------------------------------ checks

def expect(condition, text):
    if not condition:
        raise Failure(text)


def client_of(saved):
    expect(pixels.size_of(saved) == (BOX, BOX), f"saved picture is {pixels.size_of(saved)}, not 185 x 185")
    return pixels.crop(saved, 1, 1, SIDE, SIDE)


def ring(saved):
    w, h = pixels.size_of(saved)
    return ([saved[0][x] for x in range(w)] + [saved[h - 1][x] for x in range(w)]
            + [saved[y][0] for y in range(h)] + [saved[y][w - 1] for y in range(h)])


def first_difference(got, want, region=None):
    """(x, y, got, want) of the first differing pixel, or None."""
    for y in range(len(want)):
        for x in range(len(want[0])):
            if region and not region(x, y):
                continue
            if got[y][x] != want[y][x]:
                return x, y, got[y][x], want[y][x]
    return None


def expect_same(got, want, what, region=None):
    diff = first_difference(got, want, region)
    if diff:
        x, y, g, w = diff
        raise Failure(f"{what}: pixel ({x}, {y}) of the client area is {g}, expected {w}")


def outside_overlay(top, height, left=0, width=SIDE):
    return lambda x, y: not (top <= y < top + height and left <= x < left + width)


def text_columns(rows, top, height, is_text):
    """Columns of the overlay rows that hold caption pixels."""
    cols = [x for x in range(SIDE) for y in range(top, top + height) if is_text(rows[y][x])]
    return (min(cols), max(cols)) if cols else None


def status_area(s):
    """What the status bar shows: the width of the text of its first part,
    the pixels where the progress bar lies, and whether those are of one
    colour (no progress bar there)."""
    shot = desktop.window_pixels(s.app.wid, os.path.join(s.workdir, "window.bmp"))
    w, h = pixels.size_of(shot)
    # The status bar is docked along the bottom: its lowest 20 rows, inside
    # the parts' edges.
    rows = range(h - 19, h - 3)
    dark = [x for x in range(4, 396) for y in rows if sum(shot[y][x]) < 250]
    text_width = max(dark) - min(dark) + 1 if dark else 0
    bar = [shot[y][x] for y in rows for x in range(w - 5 - 128 + 4, w - 5 - 4)]
    uniform = bar.count(max(set(bar), key=bar.count)) > len(bar) * 9 // 10
    return text_width, bar, uniform


def expect_scaled(saved, reference, width, height, what, tolerance=10):
    """A save at another size: exact dimensions, and colours near those of
    the 185 x 185 save at the same relative place wherever the place lies
    in the smooth part of the picture (away from the border and the overlay)."""
    expect(pixels.size_of(saved) == (width, height),
           f"{what}: saved {pixels.size_of(saved)}, expected ({width}, {height})")
    sx, sy = BOX / width, BOX / height
    reach_x, reach_y = max(sx, 1.0) + 1, max(sy, 1.0) + 1
    checked = 0
    for j in range(height):
        cy = (j + 0.5) * sy - 0.5
        # Smooth rows: inside the border and above the overlay (client rows 0..139).
        if cy - reach_y < 1 or cy + reach_y > 140:
            continue
        for i in range(width):
            cx = (i + 0.5) * sx - 0.5
            if cx - reach_x < 1 or cx + reach_x > BOX - 2:
                continue
            x0, y0 = int(cx), int(cy)
            fx, fy = cx - x0, cy - y0
            want = [(1 - fx) * (1 - fy) * reference[y0][x0][k] + fx * (1 - fy) * reference[y0][x0 + 1][k]
                    + (1 - fx) * fy * reference[y0 + 1][x0][k] + fx * fy * reference[y0 + 1][x0 + 1][k]
                    for k in range(3)]
            got = saved[j][i]
            if max(abs(got[k] - want[k]) for k in range(3)) > tolerance:
                raise Failure(f"{what}: pixel ({i}, {j}) is {got}, expected about "
                              f"{tuple(round(v) for v in want)}")
            checked += 1
    expect(checked > width * height // 4, f"{what}: only {checked} pixels could be compared")


# ----------------------------------------------------------------- session

def session(s, picture_path, picture, halves_path):
    # Open the picture through the dialog and save it untouched.
    s.open_picture(picture_path)
    start = s.save()
    border = ring(start)
    expect(len(set(border)) == 1, f"the border is not one colour: {sorted(set(border))[:4]}")
    client = client_of(start)
    expect_same(client, picture, "opened picture", outside_overlay(140, 32))
    s.ok("the opened 183 x 183 picture is saved 1:1 inside a one-colour border")
    overlay = [client[y][x] for y in range(140, 172) for x in range(SIDE)]
    expect(overlay.count((0, 128, 128)) > len(overlay) * 3 // 4,
           "the overlay box at rows 140..171 is not mostly (0, 128, 128)")
    start_text = text_columns(client, 140, 32, lambda c: sum(c) < 150)
    expect(start_text and 40 < start_text[0] < start_text[1] < 143,
           f"no dark caption in the middle of the overlay: columns {start_text}")
    s.ok(f"the overlay lies at rows 140..171 with its dark caption at columns {start_text}")

    # Each filter works on what the box shows, overlay included; the cancel
    # command brings back the unfiltered picture; filters stack.
    def filtered(name, source, what):
        s.filter(name)
        got = s.save()
        expect(ring(got) == border, f"{what}: the border changed")
        want = pixels.apply_filter(name, source)
        expect_same(client_of(got), want, what)
        s.ok(f"{what}: exactly the filter's arithmetic on the shown pixels")
        return want

    def cancelled(what):
        s.app.click(*CANCEL_FILTERS)
        expect_same(client_of(s.save()), client, f"after cancelling {what}")
        s.ok(f"取消所有滤镜 after {what} shows the unfiltered picture again")

    status_before = status_area(s)
    grayed = filtered("gray", client, "滤镜黑白")
    # The status bar repaints from the event loop: give it a moment.
    try:
        status_after = desktop.poll("the status bar to show the end of the filter",
                                    lambda: (lambda st: st if st[0] < 40 and st[2] else None)(status_area(s)),
                                    s.app.timeout(3))
    except Failure:
        status_after = status_area(s)
    expect(status_before[0] > 200, f"the start text in the status bar spans only {status_before[0]} pixels")
    expect(status_after[0] < 40, f"after a filter the status bar's text spans {status_after[0]} pixels, "
                                 "not the two characters of 完成")
    expect(status_after[1] != status_before[1] and status_after[2],
           "after a filter the progress bar is still shown at the status bar's right end")
    s.ok("after 滤镜黑白 the status bar reads a short word (完成) and the progress bar is hidden")
    s.app.minimize_and_restore()
    expect_same(client_of(s.save()), grayed, "滤镜黑白 after minimising and restoring")
    s.ok("minimising and restoring the window keeps the filter's output")
    cancelled("滤镜黑白")
    blurred = filtered("blur", client, "滤镜模糊")
    filtered("darken", blurred, "滤镜变暗 over 滤镜模糊")
    cancelled("滤镜模糊 and 滤镜变暗")
    filtered("yellow", client, "滤镜变黄")
    s.app.click(*CANCEL_FILTERS)
    filtered("darken", client, "滤镜变暗 after cancelling 滤镜变黄")
    cancelled("滤镜变暗")

    # A caption of its own in white on red.
    s.type_into(CAPTION, "E2E")
    s.app.click(*ADD_TEXT)
    s.pick_color(1, "red")
    s.pick_color(2, "white")
    client = client_of(s.save())
    expect_same(client, picture, "picture beside the restyled overlay", outside_overlay(140, 32))
    for y in range(140, 172):
        for x in list(range(0, 12)) + list(range(SIDE - 12, SIDE)):
            expect(client[y][x] == (255, 0, 0), f"overlay pixel ({x}, {y}) is {client[y][x]}, not red")
    text = text_columns(client, 140, 32, lambda c: min(c) > 200)
    expect(text is not None, "no white caption on the red overlay")
    expect(text[1] - text[0] + 10 < start_text[1] - start_text[0],
           f"caption E2E spans columns {text}, not narrower than Tamsel at {start_text}")
    expect(abs((text[0] + text[1]) / 2 - 91) <= 4, f"caption E2E at columns {text} is not centred")
    s.ok(f"caption E2E added in white on red, centred at columns {text}")

    # Gradient colours, then two directions.
    s.pick_color(3, "green")
    s.pick_color(4, "magenta")
    s.pick_color(5, "yellow")
    stops = (RGB["green"], RGB["magenta"], RGB["yellow"])
    s.choose_next_gradient()   # 上到下
    client = client_of(s.save())
    expect_same(client, picture, "picture beside the gradient", outside_overlay(140, 32))
    for y in range(140, 172):
        for x in range(0, 12):
            want = pixels.gradient_color_at(1, x, y - 140, SIDE, 32, stops)
            expect(client[y][x] == want, f"上到下: pixel ({x}, {y}) is {client[y][x]}, expected {want}")
    s.ok("gradient 上到下 runs green, magenta, yellow down the box")
    s.choose_next_gradient()   # 左到右
    client = client_of(s.save())
    for y in range(140, 144):
        for x in range(SIDE):
            want = pixels.gradient_color_at(2, x, y - 140, SIDE, 32, stops)
            expect(client[y][x] == want, f"左到右: pixel ({x}, {y}) is {client[y][x]}, expected {want}")
    s.ok("gradient 左到右 runs green, magenta, yellow across the box")

    # Pop-ups and the colour dialog closed with Esc change nothing and leave
    # the program running.
    before = s.app.other_windows()
    s.app.click(*PICKERS[1])
    popup = s.app.wait_other_window("the pop-up of colour picker 1", before)
    s.app.key("Escape")
    s.app.wait_gone("the colour pop-up", popup)
    s.app.click(*GRADIENT)
    popup = s.app.wait_other_window("the gradient list", before)
    s.app.key("Escape")
    s.app.wait_gone("the gradient list", popup)
    s.app.click(*PICKERS[2])
    popup = s.app.wait_other_window("the pop-up of colour picker 2", before)
    s.app.key(*["Down"] * 5, "Return")   # down to 其它颜色...
    dialog, _ = s.app.wait_named_window("the colour dialog", "颜色")
    s.app.activate(dialog)
    s.app.key("Escape")
    s.app.wait_gone("the colour dialog", dialog)
    expect_same(client_of(s.save()), client, "after Esc in the pop-ups and the colour dialog")
    s.ok("Esc in a colour pop-up, the gradient list and the colour dialog changes nothing")

    # Nudges: in size mode (the start mode) up twice makes the box 30 high;
    # in position mode down three times and left once puts it at (-1, 143).
    for place in (UP, UP):
        s.app.hover(*place)
        s.app.click(*place)
    s.app.click(*MOVE_MODE)
    for place in (DOWN, DOWN, DOWN, LEFT):
        s.app.hover(*place)
        s.app.click(*place)
    nudged = s.save()
    client = client_of(nudged)
    expect_same(client, picture, "picture around the nudged overlay", outside_overlay(143, 30, 0, 182))
    for y in (143, 144, 172):
        for x in range(0, 12) if y == 172 else range(SIDE - 1):
            want = pixels.gradient_color_at(2, x + 1, y - 143, SIDE, 30, stops)
            expect(client[y][x] == want, f"nudged overlay: pixel ({x}, {y}) is {client[y][x]}, expected {want}")
    s.ok("nudged: the box is 30 high at (-1, 143), the picture shows around it")

    # Sizes typed into 编辑框3 and 编辑框4.
    for w_text, h_text, size in (("100", "100", (100, 100)), ("200", "", (200, 185)),
                                 ("-50", "-50", (93, 93)), ("-5", "-200", (19, 370)),
                                 ("120px", "64", (120, 64))):
        got = s.save_at(w_text, h_text)
        expect_scaled(got, nudged, *size, f"saved at {w_text!r} x {h_text!r}")
        s.ok(f"saved at {w_text!r} x {h_text!r}: {size[0]} x {size[1]} with the picture's colours")
    for w_text, h_text in (("abc", "185"), ("", "")):
        got = s.save_at(w_text, h_text)
        expect(got == nudged, f"saved at {w_text!r} x {h_text!r} differs from the 185 x 185 save")
        s.ok(f"saved at {w_text!r} x {h_text!r}: the box's own 185 x 185")
    # Another picture, opened over a filter: the filter's output goes, the
    # new picture is stretched over the box, the overlay keeps every setting.
    s.filter("gray")
    s.save_at("185", "185")
    s.open_picture(halves_path)
    got = s.save()
    expect(ring(got) == border, "the border changed with the second picture")
    client = client_of(got)
    in_overlay = lambda x, y: 143 <= y < 173 and x < 182
    for y in range(SIDE):
        for x in list(range(0, 80)) + list(range(104, SIDE)):
            if in_overlay(x, y):
                continue
            want = (200, 100, 50) if x < 80 else (20, 60, 220)
            expect(client[y][x] == want, f"second picture: pixel ({x}, {y}) is {client[y][x]}, expected {want}")
    nudged_client = client_of(nudged)
    expect_same(client, nudged_client, "overlay over the second picture", in_overlay)
    s.ok("a second picture opened over 滤镜黑白: stretched 60 x 30 to 183 x 183, unfiltered, overlay unchanged")

    with open(s.saved, "rb") as f:
        kept = f.read()
    s.type_into(WIDTH_BOX, "100000")
    s.type_into(HEIGHT_BOX, "100000")
    for _ in range(int(s.app.timeout(10))):
        s.app.click(*SAVE)
        if s.close_message("错误"):
            break
    else:
        raise Failure("no message after saving at 100000 x 100000")
    with open(s.saved, "rb") as f:
        expect(f.read() == kept, "a save at 100000 x 100000 changed the file on the desktop")
    s.ok("a save at 100000 x 100000 is refused with a message and keeps the last file")

    # Esc ends the program with status 0.
    s.app.activate(s.app.wid)
    s.app.key("Escape")
    status = s.app.wait_exit(20)
    expect(status == 0, f"exit status {status} after Esc")
    s.ok("Esc ends the program with status 0")


def session_without_desktop(s, home, program_dir):
    """A HOME without a desktop folder: the save says so and writes nothing;
    once the user's folder settings name a desktop folder, the save goes there."""
    def written():
        return [os.path.join(folder, f) for top in (home, program_dir) for folder, _, files in os.walk(top)
                for f in files if f == SAVED_NAME]

    for _ in range(int(s.app.timeout(10))):
        s.app.click(*SAVE)
        if s.close_message("错误"):
            break
    else:
        raise Failure("no error message after saving without a desktop folder")
    expect(not os.path.exists(os.path.join(home, "Desktop")), "the save made the desktop folder")
    expect(written() == [], f"saving without a desktop folder wrote {written()}")
    s.ok("without a desktop folder the save reports an error and writes nothing")

    # The desktop of the user's folder settings (xdg-user-dirs), by another name.
    desk = os.path.join(home, "Bureau")
    os.makedirs(desk)
    os.makedirs(os.path.join(home, ".config"))
    with open(os.path.join(home, ".config", "user-dirs.dirs"), "w") as f:
        f.write('XDG_DESKTOP_DIR="$HOME/Bureau"\n')
    s.saved = os.path.join(desk, SAVED_NAME)
    got = s.save()
    expect(pixels.size_of(got) == (BOX, BOX), f"saved {pixels.size_of(got)} on the named desktop")
    expect(written() == [s.saved], f"the save wrote {written()}")
    s.ok("the save goes to the desktop folder named in ~/.config/user-dirs.dirs")

    s.app.activate(s.app.wid)
    s.app.key("Escape")
    status = s.app.wait_exit(20)
    expect(status == 0, f"exit status {status} after Esc")
    s.ok("Esc ends the program with status 0")


def main():
    program, workdir = sys.argv[1], sys.argv[2]
    without_desktop = sys.argv[3:] == ["--without-desktop"]
    home = os.path.join(workdir, "home")
    runtime = os.path.join(workdir, "runtime")
    os.makedirs(home if without_desktop else os.path.join(home, "Desktop"))
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
    for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DESKTOP_DIR", "LANGUAGE"):
        env.pop(name, None)
    picture = test_picture()
    picture_path = os.path.join(workdir, "known-pixels.bmp")
    pixels.write_bmp(picture_path, picture)
    halves_path = os.path.join(workdir, "halves.bmp")
    pixels.write_bmp(halves_path, halves_picture())

    scale = float(os.environ.get("TP_E2E_TIMEOUT_SCALE", "1"))
    app = desktop.Program(program, env, os.path.join(workdir, "program.log"), scale)
    s = Session(app, home, workdir)
    try:
        app.wait_main_window(TITLE)
        if without_desktop:
            session_without_desktop(s, home, os.path.dirname(program))
        else:
            session(s, picture_path, picture, halves_path)
        return 0
    except Exception as e:  # a failed check, or a fault of the session itself
        shot = os.path.join(os.environ.get("TP_E2E_ARTIFACTS", os.getcwd()), "e2e-user-session-failure.png")
        desktop.screenshot(shot)
        print(f"FAILED after {s.steps} steps: {e}\nscreen at the failure: {shot}", flush=True)
        traceback.print_exc()
        return 1
    finally:
        app.stop()
        with open(os.path.join(workdir, "program.log"), "rb") as f:
            log = f.read().decode("utf-8", "replace").strip()
        if log:
            print("program output:\n" + log[-4000:])


if __name__ == "__main__":
    sys.exit(main())
