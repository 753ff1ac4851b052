# Hostile files: whatever the imagery file holds, the saver starts, stays up
# and ends on a key with exit code 0, with no crash dialog.
import random
import struct
import time

import pytest

from saver import SLOWNESS, find_window, make_avi, windows_path


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
    make_avi(folder / "movie.avi", "rgb24", 64, 48, 10)
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
