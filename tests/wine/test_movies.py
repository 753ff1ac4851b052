# Movies on the real saver: pace, layout, fading, resuming and looping, and
# files that hold no playable video, made by ffmpeg (AVI as Video for Windows
# writes it, the others played through Media Foundation); each frame shows its
# number in its colour.
import os
import subprocess
import time

import pytest

from saver import (AVI, BLACK, DESKTOP_KEY, PROBE, SLOWNESS, WHITE, Program, Screen, encode, read_section, reg,
                   windows_path)

# Name, file, width, height, frames, rate and the encoder of the movies made.
# H.264 with B-frames stamps its first frame two frames in; 642 x 362 comes
# from the decoder in padded rows.
MOVIES = [("rgb24", "avi", 320, 240, 100, 25, AVI), ("slow", "avi", 320, 240, 100, 15, AVI),
          ("ntsc", "avi", 320, 240, 100, "2997/100", AVI), ("empty", "avi", 320, 240, 0, 25, AVI),
          ("mp4", "mp4", 642, 362, 100, 15, ["-c:v", "libx264", "-bf", "2"]),
          ("mov", "mov", 320, 240, 100, 25, ["-c:v", "libx264"]),
          # HD colours by BT.709, which Wine's reader does not name: shown
          # by the size alone.
          ("hd", "mp4", 1920, 1080, 100, 30, ["-vf", "scale=out_color_matrix=bt709", "-colorspace", "bt709",
                                              "-c:v", "libx264", "-preset", "veryfast"]),
          ("wmv", "wmv", 320, 240, 25, 25, ["-c:v", "wmv2"]),
          ("wide", "mp4", 16384, 16, 10, 25, ["-c:v", "libx264"]),
          ("cut", "mp4", 642, 362, 100, 25, ["-c:v", "libx264", "-movflags", "+faststart"])]


@pytest.fixture(scope="module")
def movies(tmp_path_factory):
    folder = tmp_path_factory.mktemp("movies")
    made = {}
    for name, extension, *numbers, codec in MOVIES:
        made[name] = folder / f"{name}.{extension}"
        encode(made[name], *numbers, codec)
    # A second of silence and no video; the start of a movie.
    made["sound"], made["truncated"] = folder / "sound.avi", folder / "truncated.avi"
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono", "-t", "1", "-c:a",
                    "pcm_u8", made["sound"]], check=True)
    whole = made["rgb24"].read_bytes()
    made["truncated"].write_bytes(whole[:len(whole) // 3])
    # The index first, a third of the frames' data after it; no data at
    # all; noise.
    whole = made["cut"].read_bytes()
    made["cut"].write_bytes(whole[:len(whole) // 3])
    made["zero"] = folder / "zero.mp4"
    made["zero"].write_bytes(b"")
    made["noise"] = folder / "noise.mov"
    made["noise"].write_bytes(os.urandom(20000))
    return made


def watch(x, y, seconds):
    # Every frame number the screen pixel at (x, y) shows, sampled from inside
    # Wine every few milliseconds, as [(ms, number)]; call the result to collect.
    # A frame shows red = units * 25, green = tens * 25, blue 200; anything else
    # (black, the background, a faded edge) is no frame.
    process = Program(f"watch {x} {y} {seconds}", PROBE, stdout=subprocess.PIPE).process
    first = process.stdout.readline()  # sampling has begun

    def frames():
        seen = []
        for ms, colour in map(str.split, [first] + process.communicate(timeout=60 * SLOWNESS)[0].splitlines()):
            r, g, b = bytes.fromhex(colour)
            units, tens = round(r / 25), round(g / 25)
            if abs(b - 200) <= 12 and units <= 9 and tens <= 9 and \
                    abs(r - 25 * units) <= 12 and abs(g - 25 * tens) <= 12:
                seen.append((int(ms), 10 * tens + units))
        return seen
    return frames


def successive(numbers, count):
    # Each number the next one, wrapping at count; a rare step of two too (the
    # sampler may miss a frame when a loaded machine paints two in a row).
    steps = [(b - a) % count for a, b in zip(numbers, numbers[1:])]
    return all(step in (1, 2) for step in steps) and steps.count(2) <= len(steps) // 10


# A movie is shown at its own size where a picture would be doubled.
@pytest.mark.parametrize("kind,fps,layout,fade,rect", [
    ("rgb24", 25, "C", 1, (800, 420, 320, 240)), ("slow", 15, "F", 0, (240, 0, 1440, 1080)),
    ("ntsc", 29.97, "S", 0, (0, 0, 1920, 1080)), ("mp4", 15, "C", 0, (639, 359, 642, 362)),
    ("mov", 25, "C", 1, (800, 420, 320, 240)), ("hd", 30, "F", 0, (0, 0, 1920, 1080)),
])
def test_movie_plays_at_its_rate_where_its_layout_puts_it(saver, movies, kind, fps, layout, fade, rect):
    running = saver(File=windows_path(movies[kind]), ScreenMode=layout, Fade=fade)
    assert running.display_rect() == rect
    x, y, width, height = rect
    middle = (x + width // 2, y + height // 2)

    seen = watch(*middle, 2.0)()
    numbers = [n for _, n in seen]
    assert len(numbers) > 10 and successive(numbers, 100), seen
    frames = sum((b - a) % 100 for a, b in zip(numbers, numbers[1:]))
    assert 0.6 * fps < frames * 1000 / (seen[-1][0] - seen[0][0]) < 1.15 * fps, seen

    # The frame fills the display window, and nothing outside it.
    after = Screen()
    for corner in [(x + 20, y + height - 20), (x + width - 20, y + 20),
                   (x + width - 20, y + height - 20)]:
        assert after.pixel(*corner) != BLACK, corner
    assert after.black_outside(rect)
    if fade:
        # Frame after frame faded: the band is a quarter of the frame's
        # height, 60 pixels: black at the edge, half-way there, the frame's
        # own colour inside.
        for edge in [(x, middle[1]), (x + width - 1, middle[1]), (middle[0], y), (middle[0], y + height - 1)]:
            assert after.pixel(*edge) == BLACK, edge
        assert 70 < after.pixel(x + 30, middle[1])[2] < 130
    else:
        assert after.pixel(x + 10, y + 10) == WHITE  # upright
        # Its own colour to the last row and column: no rows of the
        # decoder's padding, no green of chroma read from the wrong place.
        inside = after.pixel(*middle)
        for edge in [(x + width // 2 + dx, y + height - 1) for dx in range(0, width // 2, 7)] + \
                [(x + width - 1, y + height // 4 + dy) for dy in range(0, 3 * height // 4, 7)]:
            assert all(abs(a - b) <= 12 for a, b in zip(after.pixel(*edge), inside)), edge
    running.end_on_key()


# The MP4's frames are counted from its first, stamped 133 ms in.
@pytest.mark.parametrize("kind,rewind", [("slow", 0), ("slow", 1), ("mp4", 0)])
def test_playback_resumes_after_the_stored_frame(saver, movies, kind, rewind):
    settings = dict(File=windows_path(movies[kind]), ScreenMode="C", Fade=0, FrameNumber=41,
                    Rewind=rewind)
    frames = watch(960, 540, 9.0)  # watching before the saver starts: sees its first frame
    running = saver(**settings)
    time.sleep(5.0)  # 58 frames from 42 to 99 take 3.9 s at 15 a second
    running.end_on_key()
    numbers = [n for _, n in frames()]
    # Frame 42 is painted first, but Wine may put the window on the screen
    # only after the next frame or two (the order itself is tested natively):
    # what shows first is never a frame before the stored one. A busy machine
    # may also paint the frames after it before the sampler's next look.
    assert 42 <= numbers[0] <= 44 and numbers[0] < numbers[1] <= 47, numbers
    assert successive(numbers[1:], 100), numbers
    assert 0 in numbers and numbers[numbers.index(0) - 1] == 99, numbers
    # Closing stores the last frame shown, unless "Rewind" is set, and nothing
    # else: the engine's own changes to the settings (the mode is now "movie")
    # stay in memory.
    settings["FrameNumber"] = 41 if rewind else numbers[-1]
    assert read_section() == [f"{key}={value}" for key, value in settings.items()]


# An empty display on which the saver runs on: sound only, a video stream
# without frames, an unreadable first frame, a mode letter the saver does not
# know, the wallpaper when there is none. The banner: what Media Foundation cannot open goes on to the picture
# path (Wine 8 opens no WMV that ffmpeg writes). What it opens but cannot wholly
# decode plays what it can, past its end and round again. A movie is picked
# from a folder too. The saver ends on a key either way.
@pytest.mark.parametrize("kind,shown", [
    ("sound", None), ("empty", None), ("truncated", None), ("unknown mode", None), ("no wallpaper", None),
    ("wmv", "banner"), ("zero", "banner"), ("noise", "banner"), ("cut", (639, 359, 642, 362)),
    ("wide", (448, 539, 1024, 1)), ("folder", (800, 420, 320, 240)),
])
def test_what_a_movie_file_shows(saver, movies, tmp_path, kind, shown):
    (tmp_path / "only.mov").write_bytes(movies["mov"].read_bytes())
    reg("delete", DESKTOP_KEY, "/v", "Wallpaper", "/f")
    file = {"folder": tmp_path, "no wallpaper": None}.get(kind, movies.get(kind))
    running = saver(**dict(Mode="X") if kind == "unknown mode" else
                    dict(File=windows_path(file) if file else "<background>", ScreenMode="C", Fade=0))
    if shown is None:
        assert running.display_rect()[2:] == (0, 0) and running.shows_nothing()
    elif shown == "banner":
        assert running.shows_banner()
    else:
        assert running.display_rect() == shown
        x, y, width, height = shown
        assert running.painted(still=False).pixel(x + width // 2, y + height // 2)[2] > 150
        time.sleep(5.0 * SLOWNESS)
        assert running.program.running()
    running.end_on_key()
