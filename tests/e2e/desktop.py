"""Driving the real program in a real X session as a user does: the mouse
and keyboard through xdotool, windows found through xdotool and xwininfo,
screenshots through ImageMagick's import. Every wait polls with a time
limit; nothing relies on a fixed sleep being long enough."""

import os
import re
import subprocess
import time


class Failure(Exception):
    pass


def run(*args, check=True, stdin=None):
    result = subprocess.run(args, capture_output=True, text=True, input=stdin)
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout


def poll(what, predicate, timeout, interval=0.05):
    """Calls predicate until it returns something true and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def geometry(wid):
    """(x, y, width, height) of a window's client area on the screen."""
    info = run("xwininfo", "-id", str(wid))
    field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
    return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))


class Program:
    """The program under test, started with the given environment."""

    def __init__(self, path, env, log_path, timeout_scale=1.0):
        self.scale = timeout_scale
        self.log = open(log_path, "wb")
        self.proc = subprocess.Popen([path], env=env, cwd=os.path.dirname(path),
                                     stdout=self.log, stderr=subprocess.STDOUT)
        self.wid = None

    def timeout(self, seconds):
        return seconds * self.scale

    def alive(self):
        return self.proc.poll() is None

    def windows(self):
        """The program's visible windows, main window included."""
        if not self.alive():
            raise Failure(f"the program has ended with status {self.proc.returncode}")
        out = run("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), check=False)
        return [int(w) for w in out.split()]

    def wait_main_window(self, title_regex):
        def find():
            out = run("xdotool", "search", "--onlyvisible", "--name", title_regex, check=False)
            ids = [int(w) for w in out.split()]
            if not ids and not self.alive():
                raise Failure(f"the program has ended with status {self.proc.returncode}")
            return ids[0] if ids else None
        self.wid = poll("the main window", find, self.timeout(20))
        run("xdotool", "windowactivate", "--sync", str(self.wid), check=False)
        return self.wid

    def other_windows(self):
        """The program's visible windows besides the main window, tooltips left out."""
        return [w for w in self.windows()
                if w != self.wid and "TOOLTIP" not in run("xprop", "-id", str(w), "_NET_WM_WINDOW_TYPE", check=False)]

    def wait_named_window(self, what, regex, timeout=10):
        """Waits for a visible window of the program whose name matches regex;
        returns (id, name)."""
        def find():
            for w in self.other_windows():
                name = self.window_name(w)
                if re.search(regex, name):
                    return w, name
            return None
        return poll(what, find, self.timeout(timeout))

    def wait_other_window(self, what, before=(), timeout=10):
        """Waits for a visible window of the program that is neither the main
        window nor one of `before`, and returns its id."""
        def find():
            new = [w for w in self.other_windows() if w not in before]
            return new[0] if new else None
        return poll(what, find, self.timeout(timeout))

    def wait_gone(self, what, wid, timeout=10):
        poll(f"{what} to close", lambda: wid not in self.windows(), self.timeout(timeout))

    # -- input, in the main window's client coordinates
    def click(self, x, y):
        run("xdotool", "mousemove", "--window", str(self.wid), str(x), str(y), "click", "1")

    def hover(self, x, y):
        run("xdotool", "mousemove", "--window", str(self.wid), str(x), str(y))

    def key(self, *keys):
        run("xdotool", "key", "--delay", "20", *keys)

    def type(self, text):
        # From standard input, so that a text like "-50" is not taken for an option.
        run("xdotool", "type", "--delay", "10", "--file", "-", stdin=text)

    def relative(self, wid):
        """Top-left corner of another window in the main window's client coordinates."""
        mx, my, _, _ = geometry(self.wid)
        x, y, _, _ = geometry(wid)
        return x - mx, y - my

    def minimize_and_restore(self):
        run("xdotool", "windowminimize", "--sync", str(self.wid))
        run("xdotool", "windowactivate", "--sync", str(self.wid), check=False)
        poll("the main window to come back", lambda: self.wid in self.windows(), self.timeout(5))
        self.activate(self.wid)

    def window_name(self, wid):
        return run("xdotool", "getwindowname", str(wid), check=False).strip()

    def activate(self, wid):
        run("xdotool", "windowactivate", "--sync", str(wid), check=False)
        poll("the window to take the focus",
             lambda: run("xdotool", "getactivewindow", check=False).strip() == str(wid), self.timeout(5))

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(self.timeout(timeout))
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {self.timeout(timeout):g} s")

    def stop(self):
        if self.alive():
            self.proc.kill()
            self.proc.wait()
        self.log.close()


def window_pixels(wid, path):
    """The pixels a window shows on the screen, as rows of (r, g, b)."""
    import pixels
    run("import", "-window", str(wid), "-type", "TrueColor", f"BMP3:{path}")
    return pixels.read_bmp(path)


def screenshot(path):
    run("import", "-window", "root", path, check=False)
