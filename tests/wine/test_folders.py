# A folder, a shell shortcut or a file that does not load as imagery, on the real saver.
import os

import pytest

from saver import BLUE, LIME, RED, RunningSaver, make_picture, probe, windows_path


def solid(folder, name, colour):
    return make_picture(folder, f"BMP3:{name}", 64, 48, colours=(colour,) * 3)


def shown(imagery):
    # What the centred display shows for `imagery`: the colour of a picture,
    # or "banner" for the maker's banner. The saver must then end on a key.
    running = RunningSaver(File=windows_path(imagery), ScreenMode="C", Fade=0)
    # Not the banner: 64 x 48 doubled three times, halved once, 512 x 384 in the middle.
    what = "banner" if running.shows_banner() else \
        running.display_rect() == (704, 348, 512, 384) and running.painted().pixel(960, 540)
    running.end_on_key()
    return what


def test_a_folder_shows_each_of_its_pictures_over_repeated_starts(tmp_path):
    for colour in ["red", "lime", "blue"]:
        solid(tmp_path, colour + ".bmp", colour)
    # A fair pick misses one of three pictures in 20 starts with a chance
    # below 3 * (2/3)^20 < 1/1000.
    seen = set()
    for _ in range(20):
        seen.add(shown(tmp_path))
        if len(seen) == 3:
            break
    assert seen == {RED, LIME, BLUE}


def huge_jpeg(path):
    # A JPEG whose frame header claims 20000 x 20000: refused from the header
    # at once rather than after a decoder has spent seconds and 1.2 GB on it.
    data = bytearray(open(make_picture(path.parent, "small.jpg", 64, 64), "rb").read())
    at = 2
    while data[at + 1] not in (0xC0, 0xC1, 0xC2):
        at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
    data[at + 5:at + 9] = (20000).to_bytes(2, "big") * 2
    path.write_bytes(data)


# Damaged BMP files are the native tests' business; whatever does not load
# takes the same road to the banner.
@pytest.mark.parametrize("kind,expected", [
    ("empty folder", "banner"),
    ("folder with only a sub-folder", "banner"),
    ("missing folder", "banner"),
    ("shortcut to a picture", RED),
    ("shortcut in a folder", RED),
    ("shortcut to a missing file", "banner"),
    ("shortcut of random bytes", "banner"),
    ("movie of random bytes", "banner"),   # no movie and no picture
    ("JPEG claiming a huge size", "banner"),
])
def test_what_imagery_shows(tmp_path, kind, expected):
    folder = tmp_path / "links"
    file = folder / ("noise.avi" if kind.startswith("movie") else
                     "huge.jpg" if kind.startswith("JPEG") else "picture.lnk")
    if kind != "missing folder":
        folder.mkdir()
    if kind == "folder with only a sub-folder":
        (folder / "old").mkdir()
    if kind.endswith("random bytes"):
        file.write_bytes(os.urandom(20000 if kind.startswith("movie") else 600))
    elif kind.startswith("JPEG"):
        huge_jpeg(file)
    elif kind.startswith("shortcut"):
        target = tmp_path / "gone.bmp" if "missing" in kind else solid(tmp_path, "red.bmp", "red")
        assert probe("link", windows_path(file), windows_path(target)) == "made"
    assert shown(folder if kind.endswith("folder") else file) == expected
