# Still and turning pictures on the screen: formats, layouts, the wallpaper,
# turning, frames that go on while the display window bounces, fading, the
# banner on a 16-bit screen. (Moving the display window is the preview and text
# tests' business.)
import os
import struct
import subprocess

import pytest

from saver import (BLACK, BLUE, DESKTOP_KEY, LIME, RED, WHITE, Screen, in_a_session_of_its_own, make_picture,
                   wait_until, windows_path)


# Each kind of file: its name (an ImageMagick format first), the options that
# make it, the colours it is made of and those it shows (red, blue, lime when
# None). A GIF's second frame, all yellow, never shows; an 8-bit RLE BMP must
# go through a codec to turn; a red-first DDS is handed out as 32bppRGBA.
KINDS = {
    "BMP": ("picture.bmp", (), None, None),
    "JPG": ("JPG:picture.jpg", (), None, None),
    "PNG": ("PNG24:picture.png", (), None, None),
    "GIF": ("GIF:picture.gif", ("(", "-size", "320x240", "xc:yellow", ")"), None, None),
    "1-bit BMP": ("BMP3:picture.bmp", ("-type", "bilevel"), ("white", "black", "black"), (WHITE, BLACK, BLACK)),
    "RLE": ("BMP3:rle8.bmp", ("-type", "Palette", "-compress", "RLE"), None, None),
    "grey JPEG": ("JPG:grey.jpg", ("-type", "Grayscale"), ("white", "black", "gray50"),
                  (WHITE, BLACK, (127, 127, 127))),
    "CMYK JPEG": ("JPG:cmyk.jpg", ("-colorspace", "CMYK"), None, None),
    "progressive JPEG": ("JPG:progressive.jpg", ("-interlace", "Plane"), None, None),
    "16-bit PNG": ("PNG48:deep.png", (), None, None),
    # Invisible white on the left.
    "transparent PNG": ("PNG32:alpha.png", (), ("#FFFFFF00", "blue", "lime"), (BLACK, BLUE, LIME)),
    "indexed PNG with a transparent colour": ("PNG8:indexed.png", (), ("#FFFFFF00", "blue", "lime"),
                                              (BLACK, BLUE, LIME)),
    "TIFF": ("TIFF:picture.tif", (), None, None),
    "2-bit PNG": ("PNG8:two-bit.png", ("-define", "png:bit-depth=2"), None, None),
    "red-first DDS": ("PNG32:rgba.png", (), None, None),
    # Camera photos: stored as the camera was turned, their tag saying how to
    # show them upright (each value's turn undone, as ImageMagick's -auto-orient).
    **{f"photo {tag}": ("JPG:photo.jpg", turn, None, None) for tag, turn in [
        (2, ("-flop",)), (3, ("-rotate", "180")), (4, ("-flip",)), (5, ("-transpose",)), (6, ("-rotate", "-90")),
        (7, ("-transverse",)), (8, ("-rotate", "90"))]},
    "wallpaper": ("wallpaper.bmp", (), None, None),   # shown for "<background>", in any case
}


def picture_file(folder, kind):   # the test picture as a file of one kind, and the colours it shows
    name, options, colours, shown = KINDS[kind.removeprefix("large ")]
    w, h = (4000, 3000) if kind.startswith("large") else (320, 240)
    if "photo" in kind:   # white under the left half, never checked, shows a photo upside down
        options = ("-fill", "white", "-draw", f"rectangle 0,{5 * h // 8} {w // 2 - 1},{h - 1}", *options)
    path = make_picture(folder, name, w, h, ("-quality", "95", *options), colours or ("red", "blue", "lime"))
    assert kind != "RLE" or open(path, "rb").read()[30] == 1, "not an 8-bit run-length coded BMP"
    if "photo" in kind:
        subprocess.run(["exiftool", "-q", "-overwrite_original", f"-Orientation={kind[-1]}", "-n", path], check=True)
    return red_first_dds(path) if kind.endswith("DDS") else path, shown or (RED, BLUE, LIME)


def red_first_dds(png, width=320, height=240):   # as a DDS file of 32-bit pixels stored red first
    pixels = subprocess.run(["convert", png, "-depth", "8", "rgba:-"], capture_output=True,
                            check=True).stdout
    pixel_format = struct.pack("<2I4s5I", 32, 0x41, b"", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
    header = struct.pack("<4s7I44s", b"DDS ", 124, 0x100F, height, width, 4 * width, 0, 1, b"")
    path = png[:-4] + ".dds"
    open(path, "wb").write(header + pixel_format + struct.pack("<5I", 0x1000, 0, 0, 0, 0) + pixels)
    return path


# 320 x 240 is doubled to 640 x 480 and centred, or fills the height keeping
# its proportions, or the whole screen. The display is painted as an inclusive
# rectangle (641 x 481 device pixels for 640 x 480), so boundaries may shift by
# a pixel; a JPEG's colours stray near them too: the checks keep clear of them.
@pytest.mark.parametrize("kind,layout,tolerance", [
    ("BMP", "C", 0), ("JPG", "C", 40), ("PNG", "C", 0), ("GIF", "C", 0), ("1-bit BMP", "C", 0),   # GIF: a palette
    ("BMP", "F", 0), ("BMP", "S", 0), *[(kind, "C", 40) for kind in list(KINDS)[6:]],
    # A photo of 4000 x 3000 is decoded straight to the size it is shown at.
    ("large photo 6", "F", 40), ("photo 8", "S", 40),
])
def test_pictures_show_in_every_format_and_layout(saver, registry, tmp_path, kind, layout, tolerance):
    path, colours = picture_file(tmp_path, kind)
    if kind == "wallpaper":   # a file name with percent signs, read as stored though its type asks to expand it
        os.rename(path, tmp_path / "%windir% 100%.bmp")
        registry(DESKTOP_KEY, "Wallpaper", windows_path(tmp_path / "%windir% 100%.bmp"), "REG_EXPAND_SZ")
    running = saver(File="<BACKGROUND>" if kind == "wallpaper" else windows_path(path), ScreenMode=layout, Fade=0)
    rect = {"C": (640, 300, 640, 480), "F": (240, 0, 1440, 1080), "S": (0, 0, 1920, 1080)}[layout]
    assert running.display_rect() == rect
    x, y, width, height = rect
    screen = running.painted()
    # Left half, right half (both above the middle block), the middle block.
    margin = 2 if tolerance == 0 else 24
    for (left, top, right, bottom), colour in zip([
            (0, 0, width // 2, 3 * height // 8), (width // 2, 0, width, 3 * height // 8),
            (3 * width // 8, 3 * height // 8, 5 * width // 8, 5 * height // 8)], colours):
        assert all(near(screen.pixel(px, py), colour, tolerance)
                   for py in range(y + top + margin, y + bottom - margin, 7)
                   for px in range(x + left + margin, x + right - margin, 7)), (left, top, colour)
    assert screen.black_outside(rect, step=31)
    running.close()


def near(pixel, colour, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


# Frames go on: a picture turning in the plane (run-length coded and 32-bit too), in depth
# or both, in a display made square for turning (320 x 240 doubled to 640 x
# 480); in the bounce layout, whose move tick brings them, a turning picture and
# the clock. A tumbling picture seen edge-on is briefly almost all background,
# and one that only moved shows the same lit part: the screen is read until it
# differs enough from the first capture.
@pytest.mark.parametrize("kind,turns,layout", [("BMP", "2D", "C"), ("RLE", "2D", "C"), ("BMP", "2D 3D", "C"),
                                                ("BMP", "3D", "C"), ("BMP", "2D", "B"), ("clock", "", "B"),
                                                ("transparent PNG", "2D", "C")])
def test_frames_go_on(saver, tmp_path, kind, turns, layout):
    path, colours = picture_file(tmp_path, "BMP" if kind == "clock" else kind)
    running = saver(**dict(Mode="T", Text="") if kind == "clock" else dict(File=windows_path(path), Fade=0),
                    ScreenMode=layout, **{f"Rotation{turn}": 1 for turn in turns.split()})
    rect = running.display_rect()
    assert layout == "B" or rect == (640, 220, 640, 640)

    def inside(screen, step=8):   # the display's pixels; in the bounce layout, the lit part
        return screen.lit_part() if layout == "B" else \
            [screen.pixel(px, py) for py in range(222, 858, step) for px in range(642, 1278, step)]

    def moved(screen):
        was, now = inside(first), inside(screen)
        return was != now if layout == "B" else sum(a != b for a, b in zip(was, now)) > 0.05 * len(was)
    first = running.painted(still=False)
    assert inside(first), "nothing is shown"
    later = wait_until(lambda: (lambda screen: moved(screen) and screen)(Screen()), timeout=5)
    assert later, f"the {kind} stands still"
    assert layout == "B" or first.black_outside(rect) and later.black_outside(rect)
    if turns == "2D" and layout == "C":
        # Turned in the plane by nearest pixel: every pixel shown is one of the
        # picture's own colours, or the black of the canvas.
        shown = set(inside(first, 5))
        assert shown - {*colours, BLACK} == set() and set(colours) <= shown
    running.close()


def test_faded_edges_are_black_and_the_middle_untouched(saver, tmp_path):
    picture = make_picture(tmp_path, "picture.bmp")
    screen = saver(File=windows_path(picture), ScreenMode="C", Fade=1).painted()
    # The outermost picture pixels become the fill colour, black; the band is
    # a quarter of the shorter side (60 picture pixels, 120 on the screen).
    for x, y in [(640, 540), (641, 400), (1279, 540), (960, 300), (800, 779)]:
        assert screen.pixel(x, y) == BLACK, (x, y)
    assert screen.pixel(700, 540)[0] not in (0, 255)   # part-way into the band
    assert screen.region_is(770, 430, 870, 470, RED)    # untouched inside the band
    assert screen.region_is(882, 482, 1038, 598, LIME)


def test_banner_shows_on_a_16_bit_screen(saver):
    if os.environ.get("SAVER_SCREEN", "").endswith("x16"):
        running = saver(ScreenMode="C")
        # Lavender as a 16-bit screen holds it.
        assert running.shows_banner(near=8), "the banner was not drawn"
        return running.end_on_key()
    in_a_session_of_its_own("test_pictures.py::test_banner_shows_on_a_16_bit_screen", SAVER_SCREEN="1920x1080x16")
