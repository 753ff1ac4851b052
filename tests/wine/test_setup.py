# The setup program under Wine, in a fresh prefix, as an administrator
# deploys it: installed silently, the saver it registers started on the user's
# settings, installed again over that running saver, and removed silently by
# the command its Apps & features entry gives. scripts/test.sh makes the setup
# from the two savers it built and runs this once both are there.
import os
import re
import subprocess
from pathlib import Path

import pytest

from saver import (BLUE, DESKTOP_KEY, LIME, PREFIX_WINE, RED, SCR, SETTINGS_FILE, SLOWNESS, is_short_path_of,
                   linux_path, make_picture, reg, wait_until, windows_path)

SETUP = os.environ.get("SAVER_SETUP", "")
WINE32 = "/usr/lib/wine/wine"
WINDOWS = Path(os.environ.get("WINEPREFIX", "/")) / "drive_c" / "windows"
INSTALLED = WINDOWS / "system32" / "VelorinScreenSaver.scr"
UNINSTALL_KEYS = [r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                  r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall"]
VERSION = subprocess.run(["bash", Path(__file__).parents[2] / "scripts" / "version.sh"],
                         capture_output=True, text=True, check=True).stdout.strip()


def run(command):
    # Runs a Windows command line, "program" and its switches, under the Wine
    # of the program's width; its exit code.
    program, switches = re.fullmatch(r'"([^"]+)"\s*(.*)', command).groups()
    with open(linux_path(program), "rb") as image:
        header = image.read(4096)
    machine = header[int.from_bytes(header[0x3C:0x40], "little") + 4:][:2]
    wine = WINE32 if machine == b"\x4c\x01" else PREFIX_WINE   # IMAGE_FILE_MACHINE_I386
    return subprocess.run([wine, program, *switches.split()], timeout=300 * SLOWNESS).returncode


def entries():   # the saver's Apps & features entries in both registry views, each as its values
    found = {}
    for root in UNINSTALL_KEYS:
        for block in reg("query", root, "/s").stdout.split("\n\n"):
            key, *lines = block.strip().splitlines() or [""]
            values = dict(re.fullmatch(r"\s+(.+?)\s+REG_\w+\s*(.*)", line).groups()
                          for line in lines if "REG_" in line)
            if values.get("DisplayName") == "VelorinScreenSaver":
                found[key] = values
    return found


def desktop_value(name, key=DESKTOP_KEY):
    shown = reg("query", key, "/v", name).stdout
    return shown.split("REG_SZ", 1)[1].strip() if "REG_SZ" in shown else None


def screen_saver():
    return desktop_value("SCRNSAVE.EXE")


def desktop_user():   # the SID of Wine's one user, whose hive is HKCU and whose Explorer owns the taskbar
    return next(line.split("\\")[1] for line in reg("query", "HKU").stdout.splitlines()
                if "S-1-5-21-" in line)


def test_setup_installs_sets_updates_and_removes_the_saver(saver, tmp_path):
    if not SETUP:
        pytest.skip("no setup program given: scripts/test.sh makes one from the two savers")
    setup = f'"{windows_path(SETUP)}" /S'
    # A user who had "(None)": no saver, and the screen saver off.
    reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    reg("add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", "0", "/f")
    assert desktop_value("ScreenSaveActive") == "0"   # what the setup must record
    assert run(setup) == 0

    # The saver of the system's width (SAVER_SCR: on 64-bit Windows the 64-bit
    # one), where the system looks for savers, registered by its short name,
    # with one entry to remove it by.
    assert INSTALLED.read_bytes() == Path(SCR).read_bytes()
    assert not (WINDOWS / "syswow64" / INSTALLED.name).exists()
    # Set for the desktop's user, in that user's own hive, and turned on;
    # the entry records for whom, and what that user had.
    registered = screen_saver()
    assert is_short_path_of(registered, INSTALLED) and desktop_value("ScreenSaveActive") == "1"
    [entry] = entries().values()
    assert (entry["ScreenSaverUser"], entry["PreviousScreenSaveActive"]) == (desktop_user(), "0")
    uninstaller = linux_path(entry["UninstallString"].strip('"'))
    assert entry["QuietUninstallString"] == entry["UninstallString"] + " /S"
    assert entry["DisplayIcon"] == entry["UninstallString"].strip('"') + ",0"
    size = (INSTALLED.stat().st_size + os.path.getsize(uninstaller)) / 1024
    assert abs(int(entry["EstimatedSize"], 16) - size) < 2   # kilobytes, each file's rounded
    assert {k: entry[k] for k in ["DisplayName", "DisplayVersion", "Publisher", "URLInfoAbout"]} == {
        "DisplayName": "VelorinScreenSaver", "DisplayVersion": VERSION,
        "Publisher": "Velorin Software", "URLInfoAbout": "https://www.velorin.example/"}

    # Started as Windows starts it, the saver shows the user's settings: a
    # picture stretched over the screen.
    settings = dict(Mode="I", ScreenMode="S", Fade=0, File=windows_path(make_picture(tmp_path, "p.bmp")))
    running = saver(program=registered, **settings)
    screen = running.painted()
    assert (screen.pixel(100, 540), screen.pixel(960, 540), screen.pixel(1820, 540)) == (RED, LIME, BLUE)

    # A second setup over it asks the running saver to close, and updates it in place.
    os.utime(INSTALLED, (0, 0))
    assert running.program.running()
    assert run(setup) == 0
    assert running.program.exit_code() == 0
    assert INSTALLED.read_bytes() == Path(SCR).read_bytes() and INSTALLED.stat().st_mtime != 0
    assert list(entries().values()) == [entry] and screen_saver() == registered

    # Its own quiet uninstall removes the saver, the entry and the uninstaller,
    # leaves Windows with no screen saver and keeps the user's settings.
    kept = Path(SETTINGS_FILE).read_bytes()
    assert run(entry["QuietUninstallString"]) == 0
    assert wait_until(lambda: not entries() and not os.path.exists(os.path.dirname(uninstaller)),
                      timeout=60), "the uninstaller did not finish"
    assert not INSTALLED.exists() and screen_saver() is None
    assert desktop_value("ScreenSaveActive") == "0"
    assert Path(SETTINGS_FILE).read_bytes() == kept


def test_silent_setup_with_no_desktop_user_sets_no_saver():
    # A session with no display has no taskbar, so no desktop user: the file
    # and the entry are installed, nobody's saver is set, and exit code 3 says so.
    if not SETUP:
        pytest.skip("no setup program given: scripts/test.sh makes one from the two savers")
    script = (f'env -u DISPLAY {WINE32} "$0" /S; echo "code $?"; '
              f'{PREFIX_WINE} reg query "{DESKTOP_KEY}" /v SCRNSAVE.EXE; '
              f'{PREFIX_WINE} reg query "{UNINSTALL_KEYS[0]}\\VelorinScreenSaver" /v DisplayName; '
              'ls "$WINEPREFIX/drive_c/windows/system32"')
    shown = subprocess.run(["bash", Path(__file__).parent / "fresh-prefix.sh", "bash", "-c", script,
                            windows_path(SETUP)], capture_output=True, text=True, timeout=300 * SLOWNESS).stdout
    assert "code 3" in shown and "SCRNSAVE.EXE" not in shown
    assert re.search(r"DisplayName\s+REG_SZ\s+VelorinScreenSaver", shown) and INSTALLED.name in shown.split()
