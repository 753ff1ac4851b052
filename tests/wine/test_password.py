"""The screen-saver password: asked by the saver itself on Windows 9x, left to
the system elsewhere. The saver runs from a folder of its own, beside test
stand-ins for the system's PASSWORD.CPL and MPR.DLL that log what happens to
them; Wine reports Windows 98 to it through its per-program settings."""
import os
import shutil
import subprocess
import time

import pytest

from saver import (SAVER_CLASS, SAVER_TITLE, SCR, WINE, WM_CLOSE, Host, Program, find_window,
                   probe, wait_until, write_settings, xdotool)

PROGRAM_KEY = r"HKCU\Software\Wine\AppDefaults\VelorinScreenSaver.scr"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def reg(*args):
    subprocess.run([WINE, "reg", *args, "/f"], capture_output=True, check=True, timeout=60)


@pytest.fixture
def saver_folder(tmp_path):
    for path in (SCR, os.environ["SAVER_PASSWORD_CPL"], os.environ["SAVER_MPR_DLL"]):
        shutil.copy(path, tmp_path)
    write_settings(ScreenMode="C")
    reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", "REG_DWORD", "/d", "1")
    yield tmp_path
    subprocess.run([WINE, "reg", "delete", PROGRAM_KEY, "/f"], capture_output=True, timeout=60)
    subprocess.run([WINE, "reg", "delete", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/f"],
                   capture_output=True, timeout=60)


def as_windows_98():
    reg("add", PROGRAM_KEY, "/v", "Version", "/d", "win98")
    # Wine prefers its own mpr.dll to one beside the program unless told otherwise.
    reg("add", PROGRAM_KEY + r"\DllOverrides", "/v", "mpr", "/d", "native,builtin")


def log(folder, library):
    path = folder / f"{library}.log"
    return path.read_text().splitlines() if path.exists() else []


def answer(folder, text):
    (folder / "password-answer.txt").write_text(text)


def start(folder, arguments="/s"):
    xdotool("mousemove", 5, 5)
    time.sleep(0.2)
    program = Program(arguments, program=str(folder / "VelorinScreenSaver.scr"))
    window = wait_until(lambda: find_window(SAVER_CLASS, SAVER_TITLE))
    assert window, "no saver window"
    time.sleep(0.5)
    return program, window


def test_off_windows_9x_nothing_is_loaded_and_the_first_key_closes(saver_folder):
    program, window = start(saver_folder)
    xdotool("key", "a")
    assert program.exit_code() == 0
    assert log(saver_folder, "PASSWORD.CPL") == []
    # The password change is refused and loads nothing.
    assert Program("/a", program=str(saver_folder / "VelorinScreenSaver.scr")).exit_code() == -1
    assert log(saver_folder, "MPR.DLL") == []


def test_on_windows_98_the_saver_closes_only_on_the_right_password(saver_folder):
    as_windows_98()
    # The first check refuses, and a close request arrives while it runs.
    answer(saver_folder, "0 post")
    program, window = start(saver_folder)
    probe("post", window.handle, WM_CLOSE, 0, 0)
    assert wait_until(lambda: "verify" in " ".join(log(saver_folder, "PASSWORD.CPL")))
    time.sleep(0.3)
    # That request came within the pause after the refusal: not asked again.
    checks = [line for line in log(saver_folder, "PASSWORD.CPL") if line.startswith("verify")]
    assert checks == [f"verify {window.handle}"]
    assert program.running()
    assert probe("cursor") == "hidden"

    # Half a second later a key asks again; the right password closes.
    answer(saver_folder, "1")
    time.sleep(0.5)
    xdotool("key", "a")
    assert program.exit_code() == 0
    lines = log(saver_folder, "PASSWORD.CPL")
    assert [line for line in lines if line.startswith("verify")] == [f"verify {window.handle}"] * 2
    assert lines[0] == "attach" and lines[-1] == "detach freed"


def test_on_windows_98_a_password_change_goes_to_the_system_dialog(saver_folder):
    as_windows_98()
    host = Host()
    try:
        change = Program(f"/a {host.handle}", program=str(saver_folder / "VelorinScreenSaver.scr"))
        assert change.exit_code() == 0
    finally:
        host.close()
    assert log(saver_folder, "MPR.DLL") == [
        "attach", f"change SCRSAVE {host.handle} 0 0000000000000000", "detach freed"]
