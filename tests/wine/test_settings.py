"""The settings store end to end: the settings probe loads and saves through
the real profile functions, each test in a Wine prefix of its own with a real
win.ini, so that every run chooses its settings file as the saver does. (The
options tests save through the dialog, the movie tests through the engine.)"""
import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

from saver import WINE, read_settings

WINESERVER = "/usr/lib/wine/wineserver"
PROGRAM = r"C:\Program Files\Velorin\settingsprobe.exe"
WRITE_TRACE = re.compile(r'WritePrivateProfileStringW \(L"(.*?)", L"(.*?)", L"(.*?)", L"(.*?)"\)')
DEFAULTS = {"mode": str(ord("I")), "screenMode": str(ord("B")), "rotation2D": "0", "rotation3D": "0",
            "fade": "1", "rewind": "0", "frameNumber": "-1", "file": "", "text": ""}


class Prefix:
    def __init__(self, root):
        self.root = root
        self.env = dict(os.environ, WINEPREFIX=str(root), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.drive_c = root / "drive_c"
        self.win_ini = self.drive_c / "windows" / "win.ini"
        self.program_folder = self.drive_c / "Program Files" / "Velorin"

    def add_to_win_ini(self, text):
        with open(self.win_ini, "ab") as f:
            f.write(text.replace("\n", "\r\n").encode("latin-1"))

    def run(self, action, *fields):
        """Runs the probe; returns the record it printed and the profile
        writes it made, as (section, key, value, file) tuples."""
        env = dict(self.env, WINEDEBUG="trace+profile")
        result = subprocess.run([WINE, PROGRAM, action, *fields], env=env, cwd=self.root,
                                capture_output=True, timeout=60)
        assert result.returncode == 0, result.stderr.decode("latin-1")[-2000:]
        record = dict(line.split("=", 1) for line in result.stdout.decode("latin-1").splitlines())
        # Wine's trace doubles the backslashes.
        writes = [tuple(part.replace("\\\\", "\\") for part in write)
                  for write in WRITE_TRACE.findall(result.stderr.decode("latin-1"))]
        return record, writes


@pytest.fixture
def prefix():
    root = Path(tempfile.mkdtemp(prefix="velorin-settings."))
    shutil.copytree(os.environ["SAVER_TEMPLATE_PREFIX"], root, symlinks=True, dirs_exist_ok=True)
    p = Prefix(root)
    subprocess.run([WINESERVER, "-p"], env=p.env, check=True)
    # Services started here, not by the probe, so they never hold its output.
    subprocess.run([WINE, "wineboot"], env=p.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    p.program_folder.mkdir(parents=True)
    shutil.copy(os.environ["SAVER_SETTINGS_PROBE"], p.program_folder)
    yield p
    subprocess.run([WINESERVER, "-k"], env=p.env)
    shutil.rmtree(root, ignore_errors=True)


# No [Folders] entry: win.ini. An entry naming a folder: VelorinTools.ini
# there. An entry naming no folder: VelorinTools.ini beside the program.
@pytest.mark.parametrize("entry,folder", [
    (None, r"C:\Program Files\Velorin"),
    (r"C:\Velorin Data", r"C:\Velorin Data"),
    (r"C:\No Such Folder", r"C:\Program Files\Velorin"),
])
def test_the_settings_live_where_the_folders_entry_says(prefix, entry, folder):
    if entry:
        (prefix.drive_c / "Velorin Data").mkdir()
        prefix.add_to_win_ini(f"[Folders]\nVelorinTools={entry}\n")
    file = prefix.win_ini if not entry else prefix.drive_c / folder[3:].replace("\\", "/") / "VelorinTools.ini"
    # Nothing stored yet: the defaults, and nothing written.
    record, writes = prefix.run("load")
    assert {k: record[k] for k in DEFAULTS} == DEFAULTS and writes == []

    record, writes = prefix.run("save", "mode=T", r"file=C:\Pictures\gem.bmp")
    assert record["currentDirectory"] == folder
    assert {w[3] for w in writes} == {"win.ini" if not entry else r".\VelorinTools.ini"}
    assert read_settings(file) == ["Mode=T", "ScreenMode=B", r"File=C:\Pictures\gem.bmp",
                                   "Rotation2D=0", "Rotation3D=0", "Fade=1", "Rewind=0"]
    assert entry is None or read_settings(prefix.win_ini) is None
    record, _ = prefix.run("load")
    assert (record["mode"], record["file"]) == (str(ord("T")), r"C:\Pictures\gem.bmp")


def test_a_save_writes_only_what_changed_and_never_the_frame_number(prefix):
    # Stored values that only start like the new ones must be rewritten too.
    prefix.add_to_win_ini("[VelorinScreenSaver]\nText=Hello!\nFile=C:\\gem.bmpx\nRotation2D=10\n")
    choices = ["mode=T", "screenMode=F", "rotation2D=1", "fade=0", r"file=C:\gem.bmp", "text=Hello",
               "frameNumber=42"]
    _, first = prefix.run("save", *choices)
    assert [w[1:3] for w in first] == [
        ("Mode", "T"), ("ScreenMode", "F"), ("File", r"C:\gem.bmp"), ("Text", "Hello"),
        ("Rotation2D", "1"), ("Rotation3D", "0"), ("Fade", "0"), ("Rewind", "0")]
    before = prefix.win_ini.stat().st_mtime_ns, prefix.win_ini.read_bytes()

    _, second = prefix.run("save", *choices)
    assert second == []
    assert (prefix.win_ini.stat().st_mtime_ns, prefix.win_ini.read_bytes()) == before
