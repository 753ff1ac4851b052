"""Movies on the real saver: pace, layout, fading, resuming and looping, and
files that hold no playable video. The movies are written by AVIFile itself
(tests/wine/MovieWriter.h); each frame shows its number in its colour."""
import os
import subprocess
import time

import pytest

from saver import BANNER_RECT, BLACK, WHITE, WINE, Screen, read_section, windows_path

MOVIETOOL = os.environ.get("SAVER_MOVIETOOL", "")


def make_movie(folder, name, kind, frames, rate=25, scale=1, width=320, height=240):
    path = os.path.join(folder, name)
    result = subprocess.run([WINE, MOVIETOOL, "make", windows_path(path), kind, *map(str, (width, height,
                             frames, rate, scale))], capture_output=True, text=True, timeout=120)
    assert result.stdout.strip() == "made", result.stdout
    return path


@pytest.fixture(scope="module")
def movies(tmp_path_factory):
    folder = str(tmp_path_factory.mktemp("movies"))
    return {
        "rgb24": make_movie(folder, "rgb24.avi", "rgb24", 100, 25, 1),
        "slow": make_movie(folder, "slow.avi", "rgb24", 100, 15, 1),
        "ntsc": make_movie(folder, "ntsc.avi", "rgb24", 100, 2997, 100),
        "sound": make_movie(folder, "sound.avi", "sound", 0),
        "empty": make_movie(folder, "empty.avi", "empty", 0),
        "folder": folder,
    }


def frame_number(rgb):
    """The number a frame shows (red = units * 25, green = tens * 25, blue
    200), or None for anything else: black, the background, a faded edge."""
    r, g, b = rgb
    units, tens = round(r / 25), round(g / 25)
    if abs(b - 200) > 12 or units > 9 or tens > 9 or \
            abs(r - 25 * units) > 12 or abs(g - 25 * tens) > 12:
        return None
    return 10 * tens + units


class Watcher:
    """Every colour a screen pixel takes, sampled from inside Wine every few
    milliseconds: fast enough to see each frame of a movie."""

    def __init__(self, x, y, seconds):
        self.process = subprocess.Popen([WINE, MOVIETOOL, "watch", str(x), str(y), str(seconds)],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True, bufsize=1)
        self.first = self.process.stdout.readline()  # sampling has begun

    def frames(self):
        """[(ms, frame number)] for each change to a frame, in order."""
        lines = [self.first] + self.process.communicate(timeout=60)[0].splitlines()
        seen = [(int(ms), frame_number(bytes.fromhex(colour))) for ms, colour in map(str.split, lines)]
        return [(ms, n) for ms, n in seen if n is not None]


def successive(numbers, count):
    """Each number the next one, wrapping at count; a rare step of two too (the
    sampler may miss a frame when a loaded machine paints two in a row)."""
    steps = [(b - a) % count for a, b in zip(numbers, numbers[1:])]
    return all(step in (1, 2) for step in steps) and steps.count(2) <= len(steps) // 10


@pytest.mark.parametrize("kind,fps,layout,fade,rect", [
    ("rgb24", 25, "C", 1, (800, 420, 320, 240)),     # its own size: a picture would be doubled
    ("slow", 15, "F", 0, (240, 0, 1440, 1080)),
    ("ntsc", 29.97, "S", 0, (0, 0, 1920, 1080)),
])
def test_movie_plays_at_its_rate_where_its_layout_puts_it(saver, movies, kind, fps, layout, fade, rect):
    running = saver(File=windows_path(movies[kind]), ScreenMode=layout, Fade=fade)
    assert running.display_rect() == rect
    x, y, width, height = rect
    middle = (x + width // 2, y + height // 2)

    seen = Watcher(*middle, 2.0).frames()
    numbers = [n for _, n in seen]
    assert len(numbers) > 10 and successive(numbers, 100), seen
    frames = sum((b - a) % 100 for a, b in zip(numbers, numbers[1:]))
    measured = frames * 1000 / (seen[-1][0] - seen[0][0])
    assert 0.6 * fps < measured < 1.15 * fps, seen

    # The frame fills the display window, and nothing outside it.
    after = Screen()
    for corner in [(x + 20, y + height - 20), (x + width - 20, y + 20),
                   (x + width - 20, y + height - 20)]:
        assert after.pixel(*corner) != BLACK, corner
    if layout != "S":
        assert after.region_is(0, 0, x, 1080, BLACK, step=29)
        assert after.region_is(x + width + 1, 0, 1920, 1080, BLACK, step=29)
    if fade:
        # Frame after frame faded: the band is a quarter of the frame's
        # height, 60 pixels: black at the edge, half-way there, the frame's
        # own colour inside.
        for edge in [(x, middle[1]), (x + width - 1, middle[1]), (middle[0], y), (middle[0], y + height - 1)]:
            assert after.pixel(*edge) == BLACK, edge
        assert 70 < after.pixel(x + 30, middle[1])[2] < 130
    else:
        assert after.pixel(x + 10, y + 10) == WHITE  # upright
    running.end_on_key()


@pytest.mark.parametrize("rewind", [0, 1])
def test_playback_resumes_after_the_stored_frame(saver, movies, rewind):
    settings = dict(File=windows_path(movies["slow"]), ScreenMode="C", Fade=0, FrameNumber=41,
                    Rewind=rewind)
    watcher = Watcher(960, 540, 9.0)  # watching before the saver starts: sees its first frame
    running = saver(**settings)
    time.sleep(5.0)  # 58 frames from 42 to 99 take 3.9 s at 15 a second
    running.end_on_key()
    numbers = [n for _, n in watcher.frames()]
    assert numbers[0] == 42 and successive(numbers, 100), numbers
    assert 0 in numbers and numbers[numbers.index(0) - 1] == 99, numbers
    # Closing stores the last frame shown, unless "Rewind" is set, and nothing
    # else: the engine's own changes to the settings (the mode is now "movie")
    # stay in memory.
    settings["FrameNumber"] = 41 if rewind else numbers[-1]
    assert read_section() == [f"{key}={value}" for key, value in settings.items()]


# Sound only, a video stream without frames, an unreadable first frame: an
# empty display. Random bytes, no movie and no picture: the banner.
@pytest.mark.parametrize("kind", ["sound", "empty", "truncated", "noise"])
def test_files_without_playable_video(saver, movies, kind):
    path = movies.get(kind, os.path.join(movies["folder"], kind + ".avi"))
    if kind == "truncated":
        whole = open(movies["rgb24"], "rb").read()
        open(path, "wb").write(whole[:len(whole) // 3])
    elif kind == "noise":
        open(path, "wb").write(os.urandom(20000))
    running = saver(File=windows_path(path), ScreenMode="C", Fade=0)
    if kind != "noise":
        assert running.display_rect()[2:] == (0, 0)
        assert Screen().region_is(0, 0, 1920, 1080, BLACK, step=23)
    else:
        assert running.display_rect() == BANNER_RECT and running.painted().shows_banner()
    time.sleep(1.0)
    assert running.program.running()
    running.end_on_key()
