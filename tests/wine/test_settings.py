"""The settings store end to end: the settings probe loads and saves through
the real profile functions, each test in a Wine prefix of its own with a real
win.ini, so that every run chooses its settings file as the saver does."""
import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
PROGRAM = r"C:\Program Files\Velorin\settingsprobe.exe"
WRITE_TRACE = re.compile(r'WritePrivateProfileStringW \(L"(.*?)", L"(.*?)", L"(.*?)", L"(.*?)"\)')


def unescape(traced):
    """A string as Wine's trace wrote it, with its backslashes doubled."""
    return traced.replace("\\\\", "\\")


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
        writes = [tuple(unescape(part) for part in write)
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


def section(path):
    """The lines of section [VelorinScreenSaver] of a profile file, or None."""
    if not path.exists():
        return None
    lines, inside, found = [], False, False
    for line in path.read_bytes().decode("latin-1").splitlines():
        if line.startswith("["):
            inside = line.strip() == "[VelorinScreenSaver]"
            found |= inside
        elif inside and line:
            lines.append(line)
    return lines if found else None


DEFAULTS = {"mode": str(ord("I")), "screenMode": str(ord("B")), "rotation2D": "0", "rotation3D": "0",
            "fade": "1", "rewind": "0", "frameNumber": "-1", "file": "", "text": ""}


def fields(record):
    return {k: record[k] for k in DEFAULTS}


def test_without_a_folders_entry_the_settings_live_in_win_ini(prefix):
    record, _ = prefix.run("save", "mode=T", r"file=C:\Pictures\gem.bmp")
    assert record["settingsFileName"] == "win.ini"
    assert section(prefix.win_ini) == ["Mode=T", "ScreenMode=B", r"File=C:\Pictures\gem.bmp",
                                       "Rotation2D=0", "Rotation3D=0", "Fade=1", "Rewind=0"]
    assert not (prefix.program_folder / "VelorinTools.ini").exists()
    record, _ = prefix.run("load")
    assert record["mode"] == str(ord("T")) and record["file"] == r"C:\Pictures\gem.bmp"


def test_a_folders_entry_to_an_existing_folder_holds_the_settings_there(prefix):
    (prefix.drive_c / "Velorin Data").mkdir()
    prefix.add_to_win_ini("[Folders]\nVelorinTools=C:\\Velorin Data\n")
    record, writes = prefix.run("save", "screenMode=C", "rotation3D=1")
    assert record["settingsFileName"] == r".\VelorinTools.ini"
    assert record["dataFolder"] == r"C:\Velorin Data"
    assert record["currentDirectory"] == r"C:\Velorin Data"
    assert {w[3] for w in writes} == {r".\VelorinTools.ini"}
    assert "ScreenMode=C" in section(prefix.drive_c / "Velorin Data" / "VelorinTools.ini")
    assert section(prefix.win_ini) is None
    record, _ = prefix.run("load")
    assert record["screenMode"] == str(ord("C")) and record["rotation3D"] == "1"


def test_a_folders_entry_to_a_missing_folder_uses_the_program_folder(prefix):
    prefix.add_to_win_ini("[Folders]\nVelorinTools=C:\\No Such Folder\n")
    record, _ = prefix.run("save", "mode=T")
    assert record["settingsFileName"] == r".\VelorinTools.ini"
    assert record["currentDirectory"] == r"C:\Program Files\Velorin"
    assert "Mode=T" in section(prefix.program_folder / "VelorinTools.ini")
    assert section(prefix.win_ini) is None


@pytest.mark.parametrize("entry", [None, "C:\\Velorin Data"])
def test_a_missing_file_or_section_loads_the_defaults(prefix, entry):
    if entry:
        (prefix.drive_c / "Velorin Data").mkdir()
        prefix.add_to_win_ini(f"[Folders]\nVelorinTools={entry}\n")
    record, writes = prefix.run("load")
    assert fields(record) == DEFAULTS
    assert writes == []


def test_stored_values_load_by_their_rules(prefix):
    long_file = "C:\\" + "f" * 400
    long_text = "t" * 300
    prefix.add_to_win_ini("[VelorinScreenSaver]\nMode=Text\nScreenMode=\nRotation2D=7\n"
                          "Rotation3D=12abc\nFade=0\nRewind=-5\nFrameNumber=abc\n"
                          f"File={long_file}\nText={long_text}\n")
    record, _ = prefix.run("load")
    assert fields(record) == {
        "mode": str(ord("T")),        # the first character of "Text"
        "screenMode": "0",            # empty: no character
        "rotation2D": "7",
        "rotation3D": "12",           # the leading digits, as GetPrivateProfileIntA reads them
        "fade": "0",
        "rewind": "-5",
        "frameNumber": "0",           # no digits at all
        "file": long_file[:255],      # cut to the field
        "text": long_text[:255],
    }


def test_saving_unchanged_settings_writes_nothing(prefix):
    choices = ["mode=T", "screenMode=F", "rotation2D=1", "fade=0", r"file=C:\Pictures\gem.bmp", "text=Hello\\nWorld"]
    _, first = prefix.run("save", *choices)
    assert [w[1] for w in first] == ["Mode", "ScreenMode", "File", "Text",
                                  "Rotation2D", "Rotation3D", "Fade", "Rewind"]
    before = prefix.win_ini.stat().st_mtime_ns, prefix.win_ini.read_bytes()

    _, second = prefix.run("save", *choices)
    assert second == []
    assert (prefix.win_ini.stat().st_mtime_ns, prefix.win_ini.read_bytes()) == before


def test_a_stored_value_that_only_starts_like_the_new_one_is_rewritten(prefix):
    prefix.add_to_win_ini("[VelorinScreenSaver]\nText=Hello!\nFile=C:\\gem.bmpx\nRotation2D=10\n")
    _, writes = prefix.run("save", "text=Hello", r"file=C:\gem.bmp", "rotation2D=1")
    assert ("Text", "Hello") in [w[1:3] for w in writes]
    assert ("File", r"C:\gem.bmp") in [w[1:3] for w in writes]
    assert ("Rotation2D", "1") in [w[1:3] for w in writes]
    lines = section(prefix.win_ini)
    assert "Text=Hello" in lines and r"File=C:\gem.bmp" in lines and "Rotation2D=1" in lines


def test_a_normal_save_never_writes_the_frame_number(prefix):
    _, writes = prefix.run("save", "frameNumber=42", "mode=T")
    assert "FrameNumber" not in [w[1] for w in writes]
    assert not any(line.startswith("FrameNumber") for line in section(prefix.win_ini))


def test_the_engine_save_writes_only_the_frame_number(prefix):
    prefix.run("save", "mode=I", r"file=C:\movie.avi")
    before = section(prefix.win_ini)

    # The engine has changed other fields in memory; none of them may land.
    _, writes = prefix.run("save-frame", "mode=V", "fade=0", r"file=C:\other.avi", "frameNumber=17")
    assert writes == [("VelorinScreenSaver", "FrameNumber", "17", "win.ini")]
    assert section(prefix.win_ini) == before + ["FrameNumber=17"]

    _, writes = prefix.run("save-frame", "frameNumber=17")
    assert writes == []
