"""Still pictures on the screen: formats, layouts, fading, the banner, the wallpaper."""
import os
import subprocess
import time

import pytest

from saver import (BANNER_RECT, BLACK, BLUE, LIME, RED, WINE, WHITE, Screen, probe, wait_until,
                   windows_path)


def make_picture(folder, name, width=320, height=240, options=(),
                 colours=("red", "blue", "lime")):
    """A left half, a right half and a block in the middle, by default red,
    blue and lime. `name` may start with an ImageMagick format ("BMP3:a.bmp").
    Returns the file's path."""
    fmt, _, file_name = name.rpartition(":")
    path = os.path.join(folder, file_name)
    left, right, middle = colours
    subprocess.run(["convert", "-size", f"{width}x{height}", f"xc:{left}", "-fill", right,
                    "-draw", f"rectangle {width // 2},0 {width - 1},{height - 1}",
                    "-fill", middle, "-draw",
                    f"rectangle {3 * width // 8},{3 * height // 8} "
                    f"{5 * width // 8 - 1},{5 * height // 8 - 1}",
                    *options, f"{fmt}:{path}" if fmt else path], check=True)
    return path


def picture_file(folder, kind):
    """The test picture as a file of one kind, and the colours it shows."""
    if kind == "1-bit BMP":
        path = make_picture(folder, "BMP3:picture.bmp", options=("-type", "bilevel"),
                            colours=("white", "black", "black"))
        assert " x 1," in subprocess.run(["file", path], capture_output=True, text=True).stdout
        return path, (WHITE, BLACK, BLACK)
    if kind == "GIF":
        # Two frames: only the first, the test picture, shows; the second is all yellow.
        first = make_picture(folder, "PNG24:first.png")
        path = os.path.join(folder, "picture.gif")
        subprocess.run(["convert", first, "(", "-size", "320x240", "xc:yellow", ")", path],
                       check=True)
        return path, (RED, BLUE, LIME)
    name = {"BMP": "picture.bmp", "JPG": "JPG:picture.jpg", "PNG": "PNG24:picture.png"}[kind]
    return make_picture(folder, name, options=("-quality", "95")), (RED, BLUE, LIME)


# 320 x 240 is doubled to 640 x 480 and centred, or fills the height keeping
# its proportions, or the whole screen. The display is painted as an inclusive
# rectangle (641 x 481 device pixels for 640 x 480), so boundaries may shift by
# a pixel; a JPEG's colours stray near them too: the checks keep clear of them.
@pytest.mark.parametrize("kind,layout,rect,tolerance", [
    ("BMP", "C", (640, 300, 640, 480), 0),
    ("JPG", "C", (640, 300, 640, 480), 40),
    ("PNG", "C", (640, 300, 640, 480), 0),
    ("GIF", "C", (640, 300, 640, 480), 0),            # 8 bits with a palette
    ("1-bit BMP", "C", (640, 300, 640, 480), 0),
    ("BMP", "F", (240, 0, 1440, 1080), 0),
    ("BMP", "S", (0, 0, 1920, 1080), 0),
])
def test_pictures_show_in_every_format_and_layout(saver, tmp_path, kind, layout, rect, tolerance):
    path, colours = picture_file(str(tmp_path), kind)
    running = saver(File=windows_path(path), ScreenMode=layout, Fade=0)
    assert running.display_rect() == rect
    x, y, width, height = rect
    screen = running.painted()
    # Left half, right half (both above the middle block), the middle block.
    margin = 2 if tolerance == 0 else 24
    for (left, top, right, bottom), colour in zip([
            (0, 0, width // 2, 3 * height // 8), (width // 2, 0, width, 3 * height // 8),
            (3 * width // 8, 3 * height // 8, 5 * width // 8, 5 * height // 8)], colours):
        assert all(all(abs(a - b) <= tolerance for a, b in zip(screen.pixel(px, py), colour))
                   for py in range(y + top + margin, y + bottom - margin, 7)
                   for px in range(x + left + margin, x + right - margin, 7)), (left, top, colour)
    assert screen.region_is(0, 0, max(x, 0), 1080, BLACK, step=31)
    assert screen.region_is(x + width + 1, 0, 1920, 1080, BLACK, step=31)
    running.close()


def test_faded_edges_are_black_and_the_middle_untouched(saver, tmp_path):
    picture = make_picture(str(tmp_path), "picture.bmp")
    running = saver(File=windows_path(picture), ScreenMode="C", Fade=1)
    screen = running.painted()
    # The outermost picture pixels become the fill colour, black; the band is
    # a quarter of the shorter side (60 picture pixels, 120 on the screen).
    for x, y in [(640, 540), (641, 400), (1279, 540), (960, 300), (800, 779)]:
        assert screen.pixel(x, y) == BLACK, (x, y)
    assert screen.pixel(700, 540)[0] not in (0, 255)   # part-way into the band
    assert screen.region_is(770, 430, 870, 470, RED)    # untouched inside the band
    assert screen.region_is(882, 482, 1038, 598, LIME)
    running.close()


def test_a_jpeg_claiming_a_huge_size_shows_the_banner(saver, tmp_path):
    # Its frame header claims 20000 x 20000: refused from the header at once
    # rather than after a decoder has spent seconds and 1.2 GB on it. (Missing
    # files are the folder tests' business, damaged BMP files the native
    # tests'; whatever does not load takes the same road.)
    data = bytearray(open(make_picture(str(tmp_path), "small.jpg", 64, 64), "rb").read())
    at = 2
    while data[at + 1] not in (0xC0, 0xC1, 0xC2):
        at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
    data[at + 5:at + 9] = (20000).to_bytes(2, "big") * 2
    (tmp_path / "huge.jpg").write_bytes(data)
    running = saver(File=windows_path(tmp_path / "huge.jpg"), ScreenMode="C", Fade=0)
    # 640 x 80, doubled to 1280 x 160 (small on both sides), then halved back
    # (1280 reaches 6/10 of the width).
    assert running.display_rect() == BANNER_RECT
    assert running.painted().shows_banner()
    running.close()


def set_wallpaper(value):
    key = "HKCU\\Control Panel\\Desktop"
    change = ["add", key, "/v", "Wallpaper", "/d", value] if value else ["delete", key, "/v", "Wallpaper"]
    subprocess.run([WINE, "reg", *change, "/f"], capture_output=True, timeout=60)


def test_background_shows_the_wallpaper_or_nothing(saver, tmp_path):
    wallpaper = make_picture(str(tmp_path), "wallpaper.bmp", width=400, height=300)
    set_wallpaper(windows_path(wallpaper))
    try:
        running = saver(File="<BACKGROUND>", ScreenMode="C", Fade=0)
        assert running.display_rect() == (560, 240, 800, 600)
        screen = running.painted()
        assert screen.region_is(570, 250, 850, 450, RED)
        assert screen.region_is(970, 250, 1350, 450, BLUE)
        running.close()
    finally:
        set_wallpaper(None)
    # Without a wallpaper nothing is painted. Nothing on the screen can show
    # that the first frame tick has come and painted nothing; give it a second.
    running = saver(File="<background>", ScreenMode="C", Fade=0)
    time.sleep(1.0)
    assert Screen().region_is(0, 0, 1920, 1080, BLACK, step=23)
    assert running.program.running()
    running.close()


def test_full_screen_picture_is_painted_once(saver, tmp_path):
    # A still picture on one full screen is painted once and then left alone:
    # when something makes the system erase the display window, it stays
    # black. (Previews and several monitors repaint every 250 ms; Wine does
    # not show a child window of another process's window, so that half
    # cannot be seen here.)
    picture = make_picture(str(tmp_path), "picture.bmp")
    running = saver(File=windows_path(picture), ScreenMode="C", Fade=0)
    assert running.painted().pixel(700, 400) == RED
    probe("invalidate", running.display.handle)
    # The erase reaches the screen, and it stays black for longer than two
    # repaint periods.
    assert wait_until(lambda: Screen().region_is(642, 302, 1278, 778, BLACK)), \
        "the picture was painted again as soon as it was erased"
    time.sleep(0.6)
    assert Screen().region_is(642, 302, 1278, 778, BLACK), "the picture was painted again"
    running.close()
