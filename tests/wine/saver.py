"""Drives the real .scr under Wine for the end-to-end tests.

The tests run inside scripts/wine-session.sh, which provides DISPLAY, a
throw-away WINEPREFIX with a persistent wineserver, and a template prefix for
tests that want one of their own. Input is real X input from xdotool; what the
user sees is read from the screen with ImageMagick's import.
"""
import os
import subprocess
import time

WINE = "/usr/lib/wine/wine64"
SCR = os.environ.get("SAVER_SCR", "")
PROBE = os.environ.get("SAVER_PROBE", "")
SAVER_CLASS = "WindowsScreenSaverClass"
SAVER_TITLE = "Screen Saver"

WM_SETTEXT = 0x000C
WM_CLOSE = 0x0010
WM_CONTEXTMENU = 0x007B
WM_SYSCOMMAND = 0x0112
WM_POWERBROADCAST = 0x0218
SC_SCREENSAVE = 0xF140
SC_MONITORPOWER = 0xF170


def windows_path(path):
    """The Wine (Z: drive) name of a Linux path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def probe(*args, timeout=30):
    result = subprocess.run([WINE, PROBE, *map(str, args)], capture_output=True, text=True,
                            timeout=timeout)
    return result.stdout.strip()


def wait_until(condition, timeout=30.0, interval=0.1):
    """Polls `condition` until it returns something true; returns that, or None.
    The timeout only bounds a failure: on a busy machine Wine may take seconds
    to start a program or to deliver a timer."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=10)


class Window:
    def __init__(self, line):
        fields = line.split()
        self.handle = int(fields[0])
        self.x, self.y, self.width, self.height = map(int, fields[1:5])
        self.style, self.exstyle = int(fields[5]), int(fields[6])


def find_window(class_name, title):
    line = probe("find", class_name, title)
    return None if line in ("", "none") else Window(line)


def count_windows(class_name, title):
    return int(probe("count", class_name, title) or 0)


class Program:
    """A Windows program started with an exact command line through the probe."""

    def __init__(self, arguments, program=None):
        program = program or SCR
        self.command_line = f'"{windows_path(program)}" {arguments}' if arguments is not None \
            else f'"{windows_path(program)}"'
        self.process = subprocess.Popen([WINE, PROBE, "run", self.command_line],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True, bufsize=1)
        first = self.process.stdout.readline().split()
        self.pid = int(first[1]) if first[:1] == ["pid"] else None

    # Wine takes about two seconds to end a process that had windows.
    def exit_code(self, timeout=30.0):
        """The program's exit code as Windows gives it (signed), or None if still running."""
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        out = self.process.stdout.read()
        for line in out.splitlines():
            if line.startswith("exit "):
                return int(line.split()[1])
        raise AssertionError(f"no exit code from {self.command_line!r}: {out!r}")

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            if self.pid:
                probe("kill", self.pid)
            self.process.kill()
            self.process.wait()


class Host:
    """A plain window, made by the probe, that plays the host of a preview."""

    def __init__(self, width=152, height=112):
        self.process = subprocess.Popen([WINE, PROBE, "host", str(width), str(height)],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True, bufsize=1)
        self.handle = int(self.process.stdout.readline())

    def messages(self):
        """Lines the host printed after its handle (messages it received), once it has ended."""
        return [line.split()[1:] for line in self.process.stdout.read().splitlines()
                if line.startswith("message ")]

    def close(self):
        probe("post", self.handle, WM_CLOSE, 0, 0)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Screen:
    """One capture of the whole screen, readable pixel by pixel."""

    def __init__(self):
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                             capture_output=True, check=True, timeout=30).stdout
        size = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
        dims = next(line for line in size.splitlines() if "dimensions:" in line)
        self.width, self.height = map(int, dims.split()[1].split("x"))
        assert len(raw) == self.width * self.height * 3
        self.raw = raw

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def region_is(self, left, top, right, bottom, colour, step=7):
        """True when every sampled pixel of the area (right and bottom excluded) is colour."""
        return all(self.pixel(x, y) == colour
                   for y in range(top, bottom, step) for x in range(left, right, step))


def write_settings(**values):
    """Writes section [VelorinScreenSaver] of the prefix's win.ini afresh."""
    path = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "win.ini")
    kept = []
    if os.path.exists(path):
        skipping = False
        for line in open(path, encoding="latin-1").read().splitlines():
            if line.strip().startswith("["):
                skipping = line.strip().lower() == "[velorinscreensaver]"
            if not skipping:
                kept.append(line)
    kept.append("[VelorinScreenSaver]")
    kept += [f"{key}={value}" for key, value in values.items()]
    with open(path, "w", encoding="latin-1", newline="\r\n") as f:
        f.write("\n".join(kept) + "\n")


def display_window(saver_window):
    """The display window inside the saver window: (handle, x, y, width, height) or None."""
    line = probe("child", saver_window)
    if line in ("", "none"):
        return None
    fields = line.split()
    return tuple(map(int, fields[0:5]))


BLACK = (0, 0, 0)


class RunningSaver:
    """A full-screen saver started on the settings given, the pointer at rest."""

    def __init__(self, **settings):
        write_settings(**settings)
        xdotool("mousemove", 5, 5)
        time.sleep(0.2)
        self.program = Program("/s")
        self.window = wait_until(lambda: find_window(SAVER_CLASS, SAVER_TITLE))
        assert self.window, "no saver window; the saver " + (
            "is still running" if self.program.running() else f"ended with {self.program.exit_code()}")
        self.display = wait_until(lambda: display_window(self.window.handle))
        assert self.display, "no display window"

    def display_rect(self):
        return display_window(self.window.handle)[1:]

    def painted(self, still=True, timeout=30.0):
        """The screen once the display window shows something other than black:
        the first frame has been painted and has reached the screen. A still
        picture must also look the same on two captures in a row, so that no
        capture catches it half drawn. The last capture if that never happens."""
        x, y, width, height = self.display_rect()
        last = [None]

        def shown():
            screen = Screen()
            drawn = not screen.region_is(max(x, 0), max(y, 0), min(x + width, screen.width),
                                         min(y + height, screen.height), BLACK, step=5)
            ready = drawn and (not still or (last[0] is not None and last[0].raw == screen.raw))
            last[0] = screen if drawn else None
            return screen if ready else None
        return wait_until(shown, timeout=timeout, interval=0.05) or Screen()

    def close(self):
        probe("post", self.window.handle, WM_CLOSE, 0, 0)
        assert self.program.exit_code() == 0
