"""A folder or a shell shortcut as imagery, on the real saver."""
import os

import pytest

from saver import BANNER_RECT, BLUE, LIME, RED, RunningSaver, probe, windows_path
from test_pictures import make_picture


def solid(folder, name, colour):
    return make_picture(folder, f"BMP3:{name}", 64, 48, colours=(colour,) * 3)


def shown(imagery):
    """What the centred display shows for `imagery`: the colour of a picture,
    or "banner" for the maker's banner. The saver must then end on a key."""
    running = RunningSaver(File=imagery, ScreenMode="C", Fade=0)
    rect, screen = running.display_rect(), running.painted()
    running.end_on_key()
    if rect == BANNER_RECT:
        assert screen.shows_banner()
        return "banner"
    # 64 x 48 doubled three times, halved once: 512 x 384 in the middle.
    assert rect == (704, 348, 512, 384)
    return screen.pixel(960, 540)


def test_a_folder_shows_each_of_its_pictures_over_repeated_starts(tmp_path):
    for name, colour in [("red.bmp", "red"), ("lime.bmp", "lime"), ("blue.bmp", "blue")]:
        solid(str(tmp_path), name, colour)
    seen = set()
    # A fair pick misses one of three pictures in 20 starts with a chance
    # below 3 * (2/3)^20 < 1/1000.
    for _ in range(20):
        seen.add(shown(windows_path(str(tmp_path))))
        if len(seen) == 3:
            break
    assert seen == {RED, LIME, BLUE}


@pytest.mark.parametrize("kind", ["empty", "only a sub-folder", "missing"])
def test_folders_without_a_picture_show_the_banner(tmp_path, kind):
    folder = tmp_path / "pictures"
    if kind != "missing":
        folder.mkdir()
    if kind == "only a sub-folder":
        (folder / "old").mkdir()
    assert shown(windows_path(str(folder))) == "banner"


@pytest.mark.parametrize("kind,expected", [
    ("to a picture", RED),
    ("in a folder", RED),
    ("to a missing file", "banner"),
    ("of random bytes", "banner"),
])
def test_shortcuts_show_their_target(tmp_path, kind, expected):
    picture = solid(str(tmp_path), "red.bmp", "red")
    folder = tmp_path / "links"
    folder.mkdir()
    link = str(folder / "picture.lnk")
    if kind == "of random bytes":
        open(link, "wb").write(os.urandom(600))
    else:
        target = picture if kind != "to a missing file" else str(tmp_path / "gone.bmp")
        assert probe("link", windows_path(link), windows_path(target)) == "made"
    imagery = windows_path(str(folder)) if kind == "in a folder" else windows_path(link)
    assert shown(imagery) == expected
