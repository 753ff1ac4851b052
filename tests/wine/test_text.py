# Text mode on the real saver: the "Text" setting with its escapes, fitted and
# centred in the display window; the clock when the text is empty; text moving in
# the bounce layout; and nothing outside the display window.
import time

import pytest

from saver import WHITE, Screen


def text_saver(saver, **settings):
    running = saver(Mode="T", **settings)
    time.sleep(1.5)  # the first frames are painted
    return running, running.display_rect()


def lines_of_ink(screen, rect):   # [top, bottom] of each run of rows with lit pixels: the lines of text
    runs = []
    for row in (i for i, pixels in enumerate(screen.rows(*rect)) if pixels.strip(b"\0")):
        if runs and row == runs[-1][1] + 1:
            runs[-1][1] = row
        else:
            runs.append([row, row])
    return runs


# "Hello\nWorld" is fitted: half the screen's width, 2 lines x 2 x 960 / 11
# characters high. Empty, it is the clock: its date and its time, changing
# every second.
@pytest.mark.parametrize("text,rect", [("Hello\\nWorld", (480, 365, 960, 349)),
                                       ("", (480, 348, 960, 384))])
def test_two_lines_centred(saver, text, rect):
    running, shown = text_saver(saver, Text=text, ScreenMode="C")
    assert shown == rect
    x, y, width, height = rect
    first, _, screen = Screen(), time.sleep(1.1), Screen()
    for capture in (first, screen):
        assert capture.black_outside(rect, step=3, slack=0)
        lines = lines_of_ink(capture, rect)
        assert len(lines) == 2, lines
        for top, bottom in lines:
            left, _, right, _ = capture.ink(x, y + top, width, bottom - top + 1)
            # Glyphs' side bearings leave a few pixels of difference.
            assert abs((left + right) / 2 - width / 2) <= 10, "line not centred"
    if not text:
        area = [(px, py) for py in range(y, y + height, 2) for px in range(x, x + width, 2)]
        assert any(first.pixel(*p) != screen.pixel(*p) for p in area), "the clock stood still"
        return running.end_on_key()
    assert any(screen.pixel(px, y + lines[0][0] + 5) == WHITE for px in range(x, x + width))
    # Fitted: two short lines in a wide window are as high as it lets them be,
    # their ink 0.83 of its height at this font's largest fitting size; and
    # centred in it.
    top, bottom = lines[0][0], lines[1][1]
    assert 0.8 * height < bottom - top < height, lines
    assert abs(top - (height - 1 - bottom)) < height / 8, "not centred vertically"
    running.end_on_key()


def test_text_painted_once_moves_with_its_window_in_the_bounce_layout(saver):
    # Text is painted once and then only moved: the system carries the
    # window's pixels along, and clears where it was.
    running, rect = text_saver(saver, Text="Hello", ScreenMode="B")
    assert rect[2:] == (960, 384)
    boxes = []
    for _ in range(3):
        boxes.append(Screen().ink())
        time.sleep(0.3)
    assert None not in boxes, "nothing drawn"
    assert len({box[:2] for box in boxes}) == 3, f"the text did not move: {boxes}"
    # Nothing left behind: the lit area keeps its size (give or take a few
    # pixels of motion while a capture is taken).
    for size in ([b[2] - b[0] for b in boxes], [b[3] - b[1] for b in boxes]):
        assert max(size) - min(size) <= 8, boxes
    running.end_on_key()
