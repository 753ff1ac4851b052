# The options dialog of the real .scr under Wine, driven with real X input
# from xdotool; its controls are read from outside by the window probe.
import os
import re
import shutil
import time
from pathlib import Path

import pytest

from saver import (APPDATA, ARCH, DESKTOP_KEY, DRIVE_C, LAVENDER, SCR, SETTINGS_FILE, WIN_INI, Program, Screen,
                   children, find_window, in_a_session_of_its_own, is_short_path_of, make_picture, probe,
                   read_section, reg, wait_until, windows_path, write_section, xdotool)

DIALOG, MESSAGE_BOX = ("#32770", "VelorinScreenSaver Options"), ("#32770", "VelorinScreenSaver")
FILE_DIALOG = ("#32770", "Select Imagery File")
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
EFFECTS = (1011, 1013, 1014, 1002)
WRITE_TRACE = re.compile(r'WritePrivateProfileStringW \(L"(.*?)", L"(.*?)", L"(.*?)", L"(.*?)"\)')
# The words on each control, in tab order: the label a user reads must be the
# one on the control the saver reads.
CAPTIONS = [(1001, "Full Screen"), (1008, "Centered On Screen"), (1009, "Bounce Around Screen"),
            (1, "OK"), (2, "Cancel"), (1010, "Imagery:"), (1012, "Text:"), (1004, "..."),
            (1007, ""), (1002, "Rewind Movie"), (1006, ""), (1011, "2D Rotation"),
            (1013, "3D Rotation"), (1014, "Fade Edges"), (1017, ""), (-1, ""),
            (1003, "www.velorin.example"), (1005, "Install...")]
# Where the system keeps savers of the build under test: the 32-bit saver's
# copies land in SysWOW64, and are registered by that name.
SYSTEM_FOLDER = {"x86": "syswow64"}.get(ARCH, "system32")
TARGET = DRIVE_C / "windows" / SYSTEM_FOLDER / "VelorinScreenSaver.scr"
DATA = DRIVE_C / "Velorin Data"
SETTINGS = DATA / "VelorinTools.ini"
USER_SETTINGS_FOLDER = APPDATA / "VelorinScreenSaver"   # the 64-bit build's, with no entry


def controls(window):   # the window's children by id, in tab order; the first of any id, as GetDlgItem
    found = {}
    for c in children(window):
        found.setdefault(c.id, c)
    return found


def click(window, control_id, then_type=None, delay=20):
    control = wait_until(lambda: controls(window).get(control_id), timeout=10)
    assert control, f"no control {control_id}"
    x, y, width, height = control.rect
    xdotool("mousemove", x + width // 2, y + height // 2)
    xdotool("click", 1)
    if then_type:   # at the end of the text
        xdotool("key", "End")
        xdotool("type", "--delay", delay, then_type)


def name_data_folder(folder=r"C:\Velorin Data"):
    write_section(WIN_INI, "Folders", folder and {"VelorinTools": folder})


@pytest.fixture(autouse=True)
def data_folder():
    name_data_folder()
    shutil.rmtree(DATA, ignore_errors=True)
    DATA.mkdir()
    reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    yield
    TARGET.rmdir() if TARGET.is_dir() else TARGET.unlink(missing_ok=True)
    shutil.rmtree(DATA, ignore_errors=True)
    if USER_SETTINGS_FOLDER.is_file():
        USER_SETTINGS_FOLDER.unlink()
    name_data_folder(None)


@pytest.fixture
def dialog(started):   # opens the dialog; its `close` presses a button, which must end the saver with that code
    def open_(arguments="/c", program=None, trace=None):
        saver = Program(arguments, program, trace)
        started.append(saver)
        window = wait_until(lambda: find_window(*DIALOG), timeout=20)
        assert window, "no options dialog"
        time.sleep(0.3)
        window.close = lambda button=IDCANCEL: click(window.handle, button) or \
            saver.exit_code(timeout=15) == button
        return window
    return open_


def test_the_dialog_as_shown_its_banner_and_web_button(dialog, registry, tmp_path):
    # The system's command line stands in for the browser: it writes down what it was asked to open.
    opened = tmp_path / "opened.txt"
    registry(r"HKCR\https\shell\open\command", None, f'cmd.exe /c echo %1>"{windows_path(opened)}"')
    # The saver run with no arguments shows it; Install is hidden when the
    # data folder is the system folder, where it would copy itself.
    name_data_folder("C:\\windows\\" + SYSTEM_FOLDER.upper())
    options = dialog(None)
    x, y, width, height = options.rect
    assert abs(x + width / 2 - 960) <= 1 and abs(y + height / 2 - 540) <= 1, "not centred"
    shown = controls(options.handle)
    assert [(i, c.text) for i, c in shown.items()] == CAPTIONS
    assert all(c.enabled for c in shown.values())
    assert [i for i, c in shown.items() if not c.visible] == [1005]
    assert {i for i, c in shown.items() if c.checked} == {1009, 1010, 1014}   # nothing stored
    # Every control a user sees lies inside the dialog, clear of the others.
    visible = [c.rect for c in shown.values() if c.visible]
    assert all(x <= r[0] and r[0] + r[2] <= x + width and y <= r[1] and r[1] + r[3] <= y + height
               for r in visible)
    assert not [(a, b) for i, a in enumerate(visible) for b in visible[i + 1:]
                if a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]]

    x, y, width, height = shown[1017].rect
    area = [(px, py) for py in range(y + 2, y + height - 2) for px in range(x + 2, x + width - 2)]
    first, _, second = Screen(), time.sleep(0.3), Screen()
    assert sum(first.pixel(*p) == LAVENDER for p in area) > len(area) // 4, "no banner"
    assert sum(first.pixel(*p) != second.pixel(*p) for p in area) > 50, "the banner is still"

    click(options.handle, 1003)
    assert wait_until(opened.exists, timeout=20), "nothing was opened"
    time.sleep(0.5)
    assert opened.read_text().split() == ["https://www.velorin.example/"]
    assert options.close()


@pytest.mark.parametrize("leave", [IDCANCEL, IDOK])
def test_the_dialog_shows_the_settings_and_ok_alone_stores_its_controls(dialog, leave):
    make_picture(DATA, "gem.bmp")
    write_section(SETTINGS, "VelorinScreenSaver", dict(
        Mode="T", ScreenMode="C", Rotation2D=7, Fade=0, Rewind=1, File="<background>",
        Text=r"Hello\nWorld"))
    before = SETTINGS.read_bytes(), SETTINGS.stat().st_mtime_ns
    options = dialog()
    shown = controls(options.handle)
    assert shown[1006].text == "<background>" and shown[1007].text == r"Hello\nWorld"
    # Text mode: the effect boxes are disabled and show their stored states.
    assert {i for i, c in shown.items() if c.checked} == {1008, 1012, 1011, 1002}
    assert not any(shown[i].enabled for i in EFFECTS)

    # A file picked by browsing selects Imagery.
    click(options.handle, 1004)
    chooser = wait_until(lambda: find_window(*FILE_DIALOG), timeout=20)
    assert chooser, "no file dialog"
    time.sleep(0.5)
    assert controls(chooser.handle)[1148].text == ""   # "<background>" is no file to start from
    assert controls(chooser.handle)[1136].text == \
        "Imagery Files (*.avi,*.mp4,*.m4v,*.mov,*.wmv,*.bmp,*.jpg,*.jpeg,*.png,*.gif,*.tif)"
    # Typed once it has the keyboard: a slow machine shows it well before that.
    assert wait_until(lambda: probe("foreground") == str(chooser.handle)), "the file dialog is not in front"
    xdotool("type", "--delay", "20", r"C:\Velorin Data\gem.bmp")
    assert wait_until(lambda: controls(chooser.handle)[1148].text == r"C:\Velorin Data\gem.bmp")
    click(chooser.handle, IDOK)
    assert wait_until(lambda: find_window(*FILE_DIALOG) is None)
    shown = controls(options.handle)
    assert shown[1006].text == r"C:\Velorin Data\gem.bmp"
    assert shown[1010].checked and not shown[1012].checked and all(shown[i].enabled for i in EFFECTS)

    # Typing into the text selects Text again.
    click(options.handle, 1007, " Good night")
    shown = controls(options.handle)
    assert shown[1007].text == r"Hello\nWorld Good night" and shown[1012].checked
    assert not shown[1010].checked and not any(shown[i].enabled for i in EFFECTS)
    click(options.handle, 1001)   # Full Screen
    assert options.close(leave)
    assert (SETTINGS.read_bytes(), SETTINGS.stat().st_mtime_ns) == before if leave == IDCANCEL else \
        read_section(SETTINGS) == ["Mode=T", "ScreenMode=F", "Rotation2D=1", "Fade=0", "Rewind=1",
                                   r"File=C:\Velorin Data\gem.bmp", r"Text=Hello\nWorld Good night",
                                   "Rotation3D=0"]


def test_without_its_data_folder_the_saver_keeps_its_settings_beside_itself(dialog, tmp_path):
    name_data_folder(r"C:\No Such Folder")
    shutil.copy(SCR, tmp_path)
    settings, trace = tmp_path / "VelorinTools.ini", tmp_path / "trace.txt"
    file, text = "C:\\" + "f" * 252, "t" * 255   # as long as the fields hold
    stored = dict(Mode="T", ScreenMode="F", File=file + "f" * 200, Text=text + "t",
                  Rotation2D=0, Rotation3D=0, Fade=1, Rewind=0)
    write_section(settings, "VelorinScreenSaver", stored)
    options = dialog(program=tmp_path / "VelorinScreenSaver.scr", trace=trace)
    # Longer values are cut to the fields, and no more can be typed.
    for edit, value in [(1006, file), (1007, text)]:
        click(options.handle, edit, "more", delay=5)
        assert controls(options.handle)[edit].text == value
    assert options.close(IDOK)
    # OK writes what has changed and no more: the cut values, though each
    # stored value starts like its new one; never the movie's frame number.
    # (Wine's trace doubles the backslashes.)
    writes = WRITE_TRACE.findall(trace.read_text(encoding="latin-1").replace("\\\\", "\\"))
    assert [(w[1], w[3]) for w in writes] == [("File", r".\VelorinTools.ini"),
                                              ("Text", r".\VelorinTools.ini")]
    stored.update(File=file, Text=text)
    assert read_section(settings) == [f"{k}={v}" for k, v in stored.items()]


def answer_message_box(button, previous=None):   # in a message box other than `previous`: its handle and text
    def current():
        box = find_window(*MESSAGE_BOX)
        return box.handle if box and box.handle != previous else None
    box = wait_until(current, timeout=20)
    assert box, "no message box"
    time.sleep(0.3)
    text = [c.text for c in controls(box).values() if c.kind == "STATIC" and c.text][-1]
    click(box, button)
    assert wait_until(lambda: current() != box)
    return box, text.replace("\r\n", "\n")


@pytest.mark.parametrize("case", ["cancel", "yes", "refused", "no", "yes, nothing to copy", "no, nothing there"])
def test_install(dialog, registry, case):
    before = r"C:\old\saver.scr"
    if "nothing" not in case:
        shutil.copy(SCR, DATA / "VelorinScreenSaver.scr")
    if case == "refused":
        TARGET.mkdir()   # no file can be written over a folder
    registry(DESKTOP_KEY, "SCRNSAVE.EXE", before)
    options = dialog()
    click(options.handle, 1005)
    question, text = answer_message_box({"c": IDCANCEL, "n": IDNO, "y": IDYES, "r": IDYES}[case[0]])
    assert "copy VelorinScreenSaver to the Windows System folder so it will appear" in text
    outcome = None if case == "cancel" else answer_message_box(IDOK, question)[1]
    entry = reg("query", DESKTOP_KEY, "/v", "SCRNSAVE.EXE").stdout.split("REG_SZ", 1)[1].strip()
    if case == "cancel":
        time.sleep(1.0)
        assert find_window(*MESSAGE_BOX) is None and entry == before and not TARGET.exists()
    elif case == "refused" or "nothing" in case:
        assert outcome == "Install failed." and entry == before and TARGET.exists() == (case == "refused")
    elif case == "yes":
        assert outcome == "Install complete." and TARGET.read_bytes() == Path(SCR).read_bytes()
        assert is_short_path_of(entry, TARGET)
    else:   # the data folder's copy, not the running build's
        assert outcome == "Install complete." and not TARGET.exists()
        assert is_short_path_of(entry, DATA / "VelorinScreenSaver.scr")
    assert options.close()
    assert not SETTINGS.exists()


# A user name outside the ANSI code page (Chinese on a Western Windows) names
# the profile folder too: that run has a session and a prefix of its own.
@pytest.mark.parametrize("user", [None, "\u5f20\u4f1f"], ids=["user", "Chinese user"])
def test_with_no_data_folder_the_64_bit_build_saves_to_the_application_data(dialog, user):
    if ARCH == "x86":
        pytest.skip("the 32-bit build keeps its settings in win.ini, as before")
    if user and os.environ.get("USER") != user:
        return in_a_session_of_its_own("test_options.py::test_with_no_data_folder_the_64_bit_build_saves_to_the_"
                                       "application_data[Chinese user]", USER=user)
    name_data_folder(None)
    shutil.rmtree(USER_SETTINGS_FOLDER, ignore_errors=True)
    options = dialog()
    assert not USER_SETTINGS_FOLDER.exists()   # opening makes nothing; the first save does
    click(options.handle, 1001)   # Full Screen
    assert options.close(IDOK)
    assert read_section(SETTINGS_FILE)[:2] == ["Mode=I", "ScreenMode=F"]
    assert read_section(WIN_INI) is None
    if user:
        return

    # A file where its folder should be: nothing can be saved, and OK says so.
    shutil.rmtree(USER_SETTINGS_FOLDER)
    USER_SETTINGS_FOLDER.write_bytes(b"")
    options = dialog()
    click(options.handle, IDOK)
    path = "C:\\" + os.path.relpath(SETTINGS_FILE, DRIVE_C).replace("/", "\\")
    assert answer_message_box(IDOK)[1] == f"The settings could not be saved to {path}."
    assert find_window(*DIALOG).handle == options.handle   # still open
    assert options.close(IDCANCEL)
