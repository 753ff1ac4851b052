# The screen-saver password: asked by the saver itself on Windows 9x, left to
# the system elsewhere. The saver runs from a folder of its own, beside test
# stand-ins for the system's PASSWORD.CPL and MPR.DLL that log what happens to
# them; Wine reports Windows 98 to it through its per-program settings.
import os
import shutil
import time

import pytest

from saver import (DESKTOP_KEY, SCR, SLOWNESS, WM_CLOSE, Host, Program, RunningSaver, probe, wait_until,
                   xdotool)

PROGRAM_KEY = r"HKCU\Software\Wine\AppDefaults\VelorinScreenSaver.scr"


@pytest.fixture
def folder(tmp_path, registry, request):   # the saver's own folder, with the stand-in libraries beside it
    for path in (SCR, os.environ["SAVER_PASSWORD_CPL"], os.environ["SAVER_MPR_DLL"]):
        shutil.copy(path, tmp_path)
    registry(DESKTOP_KEY, "ScreenSaveUsePassword", "1", "REG_DWORD")
    if "windows_98" in request.node.name:   # such tests run as on Windows 98
        registry(PROGRAM_KEY, "Version", "win98")
        # Wine prefers its own mpr.dll to one beside the program unless told otherwise.
        registry(PROGRAM_KEY + r"\DllOverrides", "mpr", "native,builtin")
    return tmp_path


def log(folder, library, start=""):
    path = folder / f"{library}.log"
    return [line for line in (path.read_text().splitlines() if path.exists() else [])
            if line.startswith(start)]


def test_off_windows_9x_nothing_is_loaded_and_the_first_key_closes(folder):
    RunningSaver(program=folder / "VelorinScreenSaver.scr", ScreenMode="C").end_on_key()
    assert log(folder, "PASSWORD.CPL") == []
    # The password change is refused and loads nothing.
    assert Program("/a", program=folder / "VelorinScreenSaver.scr").exit_code() == -1
    assert log(folder, "MPR.DLL") == []


def test_on_windows_98_the_saver_closes_only_on_the_right_password(folder, started):
    # The first check refuses, and a close request arrives while it runs.
    (folder / "password-answer.txt").write_text("0 post")
    running = RunningSaver(program=folder / "VelorinScreenSaver.scr", ScreenMode="C")
    started.append(running)
    probe("post", running.window.handle, WM_CLOSE, 0, 0)
    assert wait_until(lambda: log(folder, "PASSWORD.CPL", "verify"))
    time.sleep(0.3 * SLOWNESS)
    # That request came within the pause after the refusal: not asked again.
    checks = log(folder, "PASSWORD.CPL", "verify")
    assert checks == [f"verify {running.window.handle}"]
    assert running.program.running() and probe("cursor") == "hidden"
    # After the pause a move over the picture asks again (the saver took the
    # mouse back from the dialog); the right password closes. Moves go on until
    # it asks: on a slow machine the first may land while the refusal still ends.
    (folder / "password-answer.txt").write_text("1")
    moves = iter(range(10**6))

    def move_until_asked():
        xdotool("mousemove", 960 + next(moves) % 2 * 40, 540)
        return len(log(folder, "PASSWORD.CPL", "verify")) > 1

    assert wait_until(move_until_asked, interval=0.25)
    assert running.program.exit_code() == 0
    assert log(folder, "PASSWORD.CPL", "verify") == checks * 2
    lines = log(folder, "PASSWORD.CPL")
    assert lines[0] == "attach" and lines[-1] == "detach freed"


def test_on_windows_98_a_password_change_goes_to_the_system_dialog(folder, started):
    host = Host()
    started.append(host)
    assert Program(f"/a {host.handle}", program=folder / "VelorinScreenSaver.scr").exit_code() == 0
    assert log(folder, "MPR.DLL") == [
        "attach", f"change SCRSAVE {host.handle} 0 0", "detach freed"]
