# Drives the real .scr under Wine, inside scripts/wine-session.sh, with real X
# input from xdotool; the screen is read with ImageMagick's import, windows from
# outside with the window probe (winprobe.cpp).
import os
import pwd
import re
import subprocess
import sys
import time
from pathlib import Path

# The Wine of the build under test; the prefix's own tools (reg, winepath)
# run as programs of the prefix's width: in a 64-bit prefix, 64-bit ones, which
# see System32 unredirected.
WINE = os.environ.get("SAVER_WINE", "/usr/lib/wine/wine64")
PREFIX_WINE = "/usr/lib/wine/wine" if os.environ.get("WINEARCH") == "win32" else "/usr/lib/wine/wine64"
ARCH = os.environ.get("SAVER_ARCH", "x64")
SCR, PROBE = os.environ.get("SAVER_SCR", ""), os.environ.get("SAVER_PROBE", "")
SAVER_CLASS, SAVER_TITLE = "WindowsScreenSaverClass", "Screen Saver"
BLACK, WHITE, LAVENDER = (0, 0, 0), (255, 255, 255), (180, 150, 240)
RED, LIME, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
BANNER_RECT = (640, 500, 640, 80)   # the banner, 640 x 80, centred on the 1920 x 1080 screen
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
DRIVE_C = Path(os.environ.get("WINEPREFIX", "/")) / "drive_c"
WIN_INI = DRIVE_C / "windows" / "win.ini"
# The user's application data, in the folder Wine names after the Linux user.
APPDATA = DRIVE_C / "users" / (os.environ.get("USER") or pwd.getpwuid(os.getuid()).pw_name) / "AppData" / "Roaming"
# Where the saver keeps its settings with no [Folders] VelorinTools entry: the
# 64-bit build under the application data, the 32-bit build in win.ini.
SETTINGS_FILE = WIN_INI if ARCH == "x86" else APPDATA / "VelorinScreenSaver" / "VelorinTools.ini"
WM_CLOSE, WM_CONTEXTMENU = 0x0010, 0x007B
# How many times longer every wait may last: scripts/test.sh sets it where the
# tests run in an emulated machine (scripts/vm32.sh), several times slower.
SLOWNESS = float(os.environ.get("SAVER_SLOWNESS", "1"))


def windows_path(path):   # the Wine (Z: drive) name of a Linux path
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(*command, timeout=30):   # its standard output, stripped
    return subprocess.run(list(map(str, command)), capture_output=True, text=True,
                          timeout=timeout * SLOWNESS).stdout.strip()


def probe(*args, timeout=30):
    return run(WINE, PROBE, *args, timeout=timeout)


def reg(*args):
    return subprocess.run([PREFIX_WINE, "reg", *map(str, args)], capture_output=True, text=True,
                          timeout=60 * SLOWNESS)


def linux_path(path):
    return run(PREFIX_WINE, "winepath", "-u", path)


def is_short_path_of(path, file):
    # A Windows path, every part of it in 8.3 form, that names `file` (a Linux path).
    return os.path.samefile(linux_path(path), file) and all(
        " " not in p and len(p.partition(".")[0]) <= 8 and len(p.partition(".")[2]) <= 3
        for p in path.split("\\")[1:])


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=10 * SLOWNESS)


def wait_until(condition, timeout=30.0, interval=0.1):
    # Polls `condition` until it returns something true; returns that, or None.
    # The timeout only bounds a failure: on a busy machine Wine may take seconds
    # to start a program or to deliver a timer.
    deadline = time.monotonic() + timeout * SLOWNESS
    while not (value := condition()) and time.monotonic() <= deadline:
        time.sleep(interval)
    return value or None


def in_a_session_of_its_own(test, **environment):
    # Runs one test of this folder again in a Wine session of its own, with
    # `environment` added (another screen, another user).
    result = subprocess.run(
        ["bash", Path(__file__).parents[2] / "scripts" / "wine-session.sh", sys.executable, "-m", "pytest", "-q",
         "-p", "no:cacheprovider", f"{Path(__file__).parent / test}"], env={**os.environ, **environment},
        capture_output=True, text=True, timeout=300 * SLOWNESS)
    assert result.returncode == 0, result.stdout[-3000:]


def make_picture(folder, name, width=320, height=240, options=(), colours=("red", "blue", "lime")):
    # A left half, a right half and a block in the middle, by default red,
    # blue and lime. `name` may start with an ImageMagick format ("BMP3:a.bmp").
    fmt, _, file_name = name.rpartition(":")
    path = os.path.join(folder, file_name)
    left, right, middle = colours
    subprocess.run(["convert", "-size", f"{width}x{height}", f"xc:{left}", "-fill", right,
                    "-draw", f"rectangle {width // 2},0 {width - 1},{height - 1}", "-fill", middle,
                    "-draw", f"rectangle {3 * width // 8},{3 * height // 8} "
                    f"{5 * width // 8 - 1},{5 * height // 8 - 1}",
                    *options, f"{fmt}:{path}" if fmt else path], check=True)
    return path


def encode(path, width, height, frames, rate, codec):
    # A movie of frames made here, written by ffmpeg: frame n shows its number
    # in its colour, red (n % 10) * 25, green (n / 10 % 10) * 25, blue 200, and
    # its top-left quarter is white, which shows which way up it is.
    pixels = "bgr24" if codec == AVI else "yuv420p"
    process = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                                f"{width}x{height}", "-r", str(rate), "-i", "-", *codec, "-pix_fmt", pixels,
                                str(path)], stdin=subprocess.PIPE)
    for n in range(frames):
        colour = bytes([n % 10 * 25, n // 10 % 10 * 25, 200])
        marked = bytes(WHITE) * (width // 4) + colour * (width - width // 4)
        process.stdin.write(marked * (height // 4) + colour * width * (height - height // 4))
    process.stdin.close()
    assert process.wait(timeout=120 * SLOWNESS) == 0
    if codec == AVI:
        # ffmpeg tags every frame "00dc", compressed, and marks the file as
        # one whose tags tell key frames: AVIFile then sees one key frame, the
        # first, and Wine's, asked for a frame far from it, returns the first
        # frame it reads on the way. Video for Windows tags uncompressed frames
        # "00db"; no byte of these frames can spell either tag.
        path.write_bytes(path.read_bytes().replace(b"00dc", b"00db"))


# An AVI as Video for Windows writes one: 24-bit frames, rows bottom-up.
AVI = ["-vf", "vflip", "-c:v", "rawvideo", "-flipped_raw_rgb", "1"]


class Window:   # a window as the probe prints it; the rectangle is on the screen
    def __init__(self, line):
        f = line.split("|", 13)
        self.handle, self.id, self.style, self.exstyle, self.owner = (int(f[i]) for i in (0, 1, 3, 4, 12))
        self.kind, self.rect = f[2].upper(), tuple(map(int, f[5:9]))
        self.checked, self.enabled, self.visible = (v == "1" for v in f[9:12])
        self.text = re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r"}.get(m[1], m[1]), f[13])


def find_window(class_name, title):
    line = probe("find", class_name, title)
    return Window(line) if line else None


def children(parent):   # in creation order
    return [Window(line) for line in probe("children", parent).splitlines()]


class Program:
    # A Windows program, the saver unless told otherwise, started under Wine.
    # With `trace` (a file), Wine writes its trace of the profile calls there.
    def __init__(self, arguments, program=None, trace=None, stdout=subprocess.DEVNULL):
        with open(trace or os.devnull, "w") as log:
            self.process = subprocess.Popen(
                [WINE, str(program or SCR), *(arguments or "").split()], stdout=stdout, stderr=log,
                text=True, env=dict(os.environ, WINEDEBUG="trace+profile") if trace else None)

    def exit_code(self, timeout=30.0):
        # The exit code as Windows gives it (signed: Wine passes on its low
        # byte), or None if still running. Wine takes about two seconds to end a
        # process that had windows.
        try:
            code = self.process.wait(timeout=timeout * SLOWNESS)
        except subprocess.TimeoutExpired:
            return None
        return code - 256 if code > 127 else code

    def running(self):
        return self.process.poll() is None

    def stop(self):
        self.process.kill()   # nothing when it has ended
        self.process.wait()


class Host(Program):
    # A plain window, made by the probe, that plays the host of a preview; it
    # prints the WM_CONTEXTMENU messages it gets, read once it has ended.
    def __init__(self):
        super().__init__("host 152 112", PROBE, stdout=subprocess.PIPE)
        self.handle = int(self.process.stdout.readline())

    def messages(self):
        return [line.split()[1:] for line in self.process.stdout.read().splitlines()]

    def stop(self):
        probe("post", self.handle, WM_CLOSE, 0, 0)
        if self.exit_code(timeout=10) is None:
            super().stop()


class Screen:   # one capture of the whole 1920 x 1080 screen, readable pixel by pixel
    width, height = 1920, 1080

    def __init__(self):
        self.raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                                  capture_output=True, check=True, timeout=30 * SLOWNESS).stdout
        assert len(self.raw) == self.width * self.height * 3

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def region_is(self, left, top, right, bottom, colour, step=7):
        # True when every sampled pixel of the area (right and bottom excluded) is colour.
        return all(self.pixel(x, y) == colour
                   for y in range(top, bottom, step) for x in range(left, right, step))

    def rows(self, x=0, y=0, width=1920, height=1080):   # an area's rows of bytes, top down
        return [self.raw[3 * (r * self.width + x):3 * (r * self.width + x + width)] for r in range(y, y + height)]

    def ink(self, x=0, y=0, width=1920, height=1080):
        # The inclusive box (left, top, right, bottom) of the pixels of an area
        # that are not black, in the area's coordinates, or None.
        rows = self.rows(x, y, width, height)
        lit = [(i, row) for i, row in enumerate(rows) if row.strip(b"\0")]
        return lit and (min(len(row) - len(row.lstrip(b"\0")) for _, row in lit) // 3, lit[0][0],
                        (max(len(row.rstrip(b"\0")) for _, row in lit) - 1) // 3, lit[-1][0]) or None

    def lit_part(self):
        # The smallest rectangle of the screen holding every pixel that is not
        # black, as its rows of bytes: the same for a picture that only moved.
        left, top, right, bottom = self.ink() or (0, 0, -1, -1)
        return self.rows(left, top, right - left + 1, bottom - top + 1)

    def black_outside(self, rect, step=29, slack=1):
        # Nothing lit outside a display window. Pictures and movies are painted
        # as inclusive rectangles: `slack` pixels past the right and bottom edges.
        x, y, width, height = rect
        top, bottom = max(y, 0), min(y + height + slack, self.height)
        return all(self.region_is(*area, BLACK, step=step) for area in [
            (0, 0, self.width, top), (0, bottom, self.width, self.height),
            (0, top, max(x, 0), bottom), (x + width + slack, top, self.width, bottom)])


def section_pattern(name):   # a section of a profile file: its header line, then its lines up to the next header
    return re.compile(rf"^\[{re.escape(name)}\][^\n]*\n(.*?)(?=^\[|\Z)", re.I | re.M | re.S)


def read_profile(path):
    return open(path, "rb").read().decode("latin-1") if os.path.exists(path) else ""


def read_section(path=SETTINGS_FILE, name="VelorinScreenSaver"):   # its lines, or None when it has none
    found = section_pattern(name).search(read_profile(path))
    return found and [line for line in found[1].splitlines() if line]


def write_section(path, name, values):
    # Writes a section of a profile file afresh, or removes it when `values`
    # is None; the rest of the file is kept.
    text = section_pattern(name).sub("", read_profile(path)).strip("\r\n")
    text += "\r\n" if text else ""
    if values is not None:
        text += f"[{name}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in values.items())
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "wb").write(text.encode("latin-1"))


class RunningSaver:
    # A full-screen saver started on the settings given, the pointer at rest.
    def __init__(self, program=None, pointer=(5, 5), **settings):
        write_section(SETTINGS_FILE, "VelorinScreenSaver", settings)
        xdotool("mousemove", *pointer)
        time.sleep(0.2)
        self.program = Program("/s", program)
        # Visible once its creation has finished.
        self.window = wait_until(lambda: (lambda w: w if w and w.visible else None)(
            find_window(SAVER_CLASS, SAVER_TITLE)))
        assert self.window, "no saver window; the saver " + (
            "is still running" if self.program.running() else f"ended with {self.program.exit_code()}")
        self.display = wait_until(lambda: next(iter(children(self.window.handle)), None))
        assert self.display, "no display window"

    def display_rect(self):
        return wait_until(lambda: children(self.window.handle))[0].rect

    def painted(self, still=True, timeout=30.0):
        # The screen once the display window shows something other than black:
        # the first frame has been painted and has reached the screen. A still
        # picture must also look the same on two captures in a row, so that no
        # capture catches it half drawn. The last capture if that never happens.
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

    def shows_banner(self, near=0):
        # The banner fills its place, upright: its lavender background (within
        # `near` per channel), the white cores of its glow lines, below its
        # middle, and its name's black shadow; the screen round it is black.
        if self.display_rect() != BANNER_RECT:
            return False
        screen, (x, y, width, height) = self.painted(), BANNER_RECT
        points = [(px, py) for py in range(y + 1, y + height, 3) for px in range(x + 1, x + width, 5)]
        pixels = [screen.pixel(*p) for p in points]
        lavender = sum(all(abs(a - b) <= near for a, b in zip(p, LAVENDER)) for p in pixels)
        white = [py for (_, py), p in zip(points, pixels) if p == WHITE]
        return lavender > 0.1 * len(pixels) and len(white) > 0.01 * len(pixels) and \
            sum(white) > len(white) * (y + height / 2) and \
            pixels.count(BLACK) > 0.02 * len(pixels) and screen.black_outside(BANNER_RECT, 37)

    def shows_nothing(self):
        # An empty screen, and the saver runs on. Nothing on the screen can
        # show that the first frame tick has come and painted nothing: it is
        # given a second.
        time.sleep(1.0)
        return Screen().region_is(0, 0, 1920, 1080, BLACK, step=23) and self.program.running()

    def end_on_key(self):   # a key ends the saver cleanly, and its window goes with it
        xdotool("key", "a")
        assert self.program.exit_code() == 0
        assert find_window(SAVER_CLASS, SAVER_TITLE) is None

    def close(self):
        probe("post", self.window.handle, WM_CLOSE, 0, 0)
        assert self.program.exit_code() == 0
