# Files a user gives the real saver: a folder, a shell shortcut, a file that
# does not load as imagery, and hostile files: whatever the imagery file holds,
# the saver starts, stays up and ends on a key with exit code 0, with no crash
# dialog.
import os
import random
import struct
import time

import pytest

from saver import (AVI, BLUE, LIME, RED, SLOWNESS, RunningSaver, encode, find_window, make_picture, probe,
                   windows_path)


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
# A movie of random bytes is no movie and no picture.
@pytest.mark.parametrize("kind,expected", [
    ("empty folder", "banner"), ("folder with only a sub-folder", "banner"), ("missing folder", "banner"),
    ("shortcut to a picture", RED), ("shortcut in a folder", RED), ("shortcut to a missing file", "banner"),
    ("shortcut of random bytes", "banner"), ("movie of random bytes", "banner"),
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


def bmp(width, height, bits=24, colours=0, compression=0, rows=b"", table=0, missing=0):
    # A BMP file with the header fields given, `table` colour entries, and a
    # file size `missing` bytes more than it holds.
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(rows), 0, 0,
                       colours, 0)
    offset = 14 + 40 + 4 * table
    return struct.pack("<2sIHHI", b"BM", offset + len(rows) + missing, 0, 0, offset) + info + \
        bytes(4 * table) + rows


def noise(signature):
    return signature + random.Random(len(signature)).randbytes(64 * 1024)


def movie(folder, giant):   # a small movie, cut to a third, or whole with its frames claiming 0x7fffffff pixels square
    encode(folder / "movie.avi", 64, 48, 10, 25, AVI)
    data = bytearray((folder / "movie.avi").read_bytes())
    if not giant:
        return bytes(data[:len(data) // 3])
    header = data.index(b"strf") + 8   # the frames' BITMAPINFOHEADER
    data[header + 4:header + 12] = struct.pack("<ii", 0x7FFFFFFF, 0x7FFFFFFF)
    return bytes(data)


HOSTILE = {
    "huge.bmp": lambda _: bmp(0x7FFFFFFF, 0x7FFFFFFF, rows=bytes(64)),
    "negative-width.bmp": lambda _: bmp(-640, 480, rows=bytes(640 * 3 * 480)),
    "colours.bmp": lambda _: bmp(16, 16, bits=8, colours=0xFFFFFFFF, table=256, rows=bytes(256)),
    # Cut short, the BMP reader refuses it and the platform's decoder gets it.
    "colours-cut.bmp": lambda _: bmp(16, 16, bits=8, colours=0xFFFFFFFF, table=256, rows=bytes(256),
                                     missing=100),
    "rle8-bomb.bmp": lambda _: bmp(30000, 30000, bits=8, compression=1, table=256, rows=b"\0\1"),
    "rle4-bomb.bmp": lambda _: bmp(60000, 30000, bits=4, compression=2, table=16, rows=b"\0\1"),
    "truncated.avi": lambda folder: movie(folder, giant=False),
    "giant-frame.avi": lambda folder: movie(folder, giant=True),
    "noise.jpg": lambda _: noise(b"\xFF\xD8"),
    "noise.png": lambda _: noise(b"\x89PNG\r\n\x1A\n"),
    "empty.bmp": lambda _: b"",
}


@pytest.mark.parametrize("name", HOSTILE)
def test_hostile_file_still_ends_on_a_key(saver, tmp_path, name):
    path = tmp_path / name
    path.write_bytes(HOSTILE[name](tmp_path))
    running = saver(File=windows_path(path), ScreenMode="B", Fade=0)
    time.sleep(5 * SLOWNESS)
    assert running.program.running(), f"ended with {running.program.exit_code()}"
    running.end_on_key()
    assert find_window("#32770", "Program Error") is None
