"""Setups a user meets now and then: a run-length coded picture that must go
through a codec to turn, a 16-bit screen, a mode letter the saver does not
know, and another program taking the foreground."""
import os
import subprocess
import sys

from saver import BANNER_RECT, BLACK, BLUE, LIME, RED, Host, Screen, probe, windows_path
from test_pictures import make_picture


def test_run_length_coded_picture_turns_in_its_own_colours(saver, tmp_path):
    path = make_picture(str(tmp_path), "BMP3:rle8.bmp", options=("-type", "Palette",
                                                                 "-compress", "RLE"))
    assert open(path, "rb").read()[30] == 1, "not an 8-bit run-length coded BMP"
    running = saver(File=windows_path(path), ScreenMode="C", Fade=0, Rotation2D=1)
    # Turned in the plane by nearest pixel: every pixel shown is one of the
    # picture's own colours, or the black of the canvas.
    screen = running.painted(still=False)
    x, y, width, height = running.display_rect()
    shown = {screen.pixel(px, py) for py in range(y + 2, y + height - 2, 5)
             for px in range(x + 2, x + width - 2, 5)}
    running.end_on_key()
    assert shown - {RED, BLUE, LIME, BLACK} == set()
    assert {RED, BLUE, LIME} <= shown


def test_banner_shows_on_a_16_bit_screen(saver):
    if os.environ.get("SAVER_SCREEN", "").endswith("x16"):
        running = saver(ScreenMode="C")
        assert running.display_rect() == BANNER_RECT
        # Lavender as a 16-bit screen holds it.
        assert running.painted().shows_banner(near=8), "the banner was not drawn"
        running.end_on_key()
        return
    # A session of its own, on a screen 16 bits deep.
    top = os.path.join(os.path.dirname(__file__), "..", "..")
    result = subprocess.run(
        ["bash", os.path.join(top, "scripts", "wine-session.sh"), sys.executable, "-m", "pytest",
         "-q", "-p", "no:cacheprovider", f"{__file__}::test_banner_shows_on_a_16_bit_screen"],
        env={**os.environ, "SAVER_SCREEN": "1920x1080x16"}, capture_output=True, text=True,
        timeout=300)
    assert result.returncode == 0, result.stdout[-3000:]


def test_unknown_mode_shows_black_and_still_ends_on_a_key(saver):
    running = saver(Mode="X")
    assert running.display_rect()[2:] == (0, 0)
    assert Screen().region_is(0, 0, 1920, 1080, BLACK, step=41)
    running.end_on_key()


def test_another_program_taking_the_foreground_ends_the_saver(saver):
    host = Host()
    try:
        running = saver()
        running.painted()
        probe("activate", host.handle)
        assert running.program.exit_code() == 0
    finally:
        host.stop()
