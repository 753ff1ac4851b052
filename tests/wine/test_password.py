"""The screen-saver password: asked by the saver itself on Windows 9x, left to
the system elsewhere. The saver runs from a folder of its own, beside test
stand-ins for the system's PASSWORD.CPL and MPR.DLL that log what happens to
them; Wine reports Windows 98 to it through its per-program settings."""
import os
import shutil
import subprocess
import time

import pytest

from saver import SCR, WINE, WM_CLOSE, Host, Program, RunningSaver, probe, wait_until

PROGRAM_KEY = r"HKCU\Software\Wine\AppDefaults\VelorinScreenSaver.scr"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def reg(*args):
    subprocess.run([WINE, "reg", *args, "/f"], capture_output=True, timeout=60)


class Folder:
    """The saver's own folder, with the stand-in libraries beside it."""

    def __init__(self, path):
        self.path, self.scr = path, str(path / "VelorinScreenSaver.scr")

    def log(self, library):
        path = self.path / f"{library}.log"
        return path.read_text().splitlines() if path.exists() else []

    def answer(self, text):
        (self.path / "password-answer.txt").write_text(text)

    def as_windows_98(self):
        reg("add", PROGRAM_KEY, "/v", "Version", "/d", "win98")
        # Wine prefers its own mpr.dll to one beside the program unless told otherwise.
        reg("add", PROGRAM_KEY + r"\DllOverrides", "/v", "mpr", "/d", "native,builtin")


@pytest.fixture
def folder(tmp_path):
    for path in (SCR, os.environ["SAVER_PASSWORD_CPL"], os.environ["SAVER_MPR_DLL"]):
        shutil.copy(path, tmp_path)
    reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", "REG_DWORD", "/d", "1")
    yield Folder(tmp_path)
    reg("delete", PROGRAM_KEY)
    reg("delete", DESKTOP_KEY, "/v", "ScreenSaveUsePassword")


def test_off_windows_9x_nothing_is_loaded_and_the_first_key_closes(folder):
    RunningSaver(program=folder.scr, ScreenMode="C").end_on_key()
    assert folder.log("PASSWORD.CPL") == []
    # The password change is refused and loads nothing.
    assert Program("/a", program=folder.scr).exit_code() == -1
    assert folder.log("MPR.DLL") == []


def test_on_windows_98_the_saver_closes_only_on_the_right_password(folder):
    folder.as_windows_98()
    # The first check refuses, and a close request arrives while it runs.
    folder.answer("0 post")
    running = RunningSaver(program=folder.scr, ScreenMode="C")
    try:
        probe("post", running.window.handle, WM_CLOSE, 0, 0)
        assert wait_until(lambda: "verify" in " ".join(folder.log("PASSWORD.CPL")))
        time.sleep(0.3)
        # That request came within the pause after the refusal: not asked again.
        checks = [line for line in folder.log("PASSWORD.CPL") if line.startswith("verify")]
        assert checks == [f"verify {running.window.handle}"]
        assert running.program.running()
        assert probe("cursor") == "hidden"
        # Half a second later a key asks again; the right password closes.
        folder.answer("1")
        time.sleep(0.5)
        running.end_on_key()
    finally:
        running.program.stop()
    lines = folder.log("PASSWORD.CPL")
    assert [line for line in lines if line.startswith("verify")] == checks * 2
    assert lines[0] == "attach" and lines[-1] == "detach freed"


def test_on_windows_98_a_password_change_goes_to_the_system_dialog(folder):
    folder.as_windows_98()
    host = Host()
    try:
        assert Program(f"/a {host.handle}", program=folder.scr).exit_code() == 0
    finally:
        host.stop()
    assert folder.log("MPR.DLL") == [
        "attach", f"change SCRSAVE {host.handle} 0 0000000000000000", "detach freed"]
