"""Turning pictures on the screen: in the plane and tumbling in 3D; and frames
that go on while the display window bounces. (Moving the display window is the
preview and text tests' business.)"""
import time

import pytest

from saver import BLACK, Screen, wait_until, windows_path
from test_pictures import make_picture


def display_pixels(screen, x, y, width, height, step=8):
    return [screen.pixel(px, py) for py in range(max(y, 0), min(y + height, 1080), step)
            for px in range(max(x, 0), min(x + width, 1920), step)]


@pytest.mark.parametrize("turns", [{"Rotation2D": 1}, {"Rotation2D": 1, "Rotation3D": 1},
                                   {"Rotation3D": 1}])
def test_picture_turns_inside_a_square_display(saver, tmp_path, turns):
    picture = make_picture(str(tmp_path), "picture.bmp")
    running = saver(File=windows_path(picture), Fade=0, ScreenMode="C", **turns)
    # 320 x 240 doubled to 640 x 480, then made square for turning.
    x, y, width, height = running.display_rect()
    assert (x, y, width, height) == (640, 220, 640, 640)
    # A tumbling picture seen edge-on is briefly almost all background, so
    # two captures may by chance differ little: try a few pairs.
    shots = [running.painted(still=False)]
    changes = []
    for _ in range(4):
        time.sleep(0.2)
        shots.append(Screen())
        before = display_pixels(shots[-2], x, y, width, height)
        after = display_pixels(shots[-1], x, y, width, height)
        changes.append(sum(a != b for a, b in zip(before, after)) / len(before))
        if changes[-1] > 0.05:
            break
    assert changes[-1] > 0.05, f"the picture did not turn: {changes}"
    assert any(any(p != BLACK for p in display_pixels(shot, x, y, width, height))
               for shot in shots), "nothing is shown"
    # Outside the display window the screen stays black.
    for screen in shots:
        assert screen.region_is(0, 0, 640, 1080, BLACK, step=29)
        assert screen.region_is(1280, 0, 1920, 1080, BLACK, step=29)
        assert screen.region_is(640, 0, 1280, 220, BLACK, step=29)
    running.close()


@pytest.mark.parametrize("content", ["turning", "clock"])
def test_frames_go_on_in_the_bounce_layout(saver, tmp_path, content):
    # The bounce's move tick brings these frames: a picture that only moved
    # shows the same lit part on every capture.
    settings = {"Mode": "T", "Text": ""} if content == "clock" else \
        {"File": windows_path(make_picture(str(tmp_path), "picture.bmp")), "Fade": 0, "Rotation2D": 1}
    running = saver(ScreenMode="B", **settings)
    first = running.painted(still=False).lit_part()
    assert first, "nothing is shown"
    assert wait_until(lambda: Screen().lit_part() != first, timeout=5), f"the {content} stands still"
    running.close()
