"""The options dialog of the real .scr under Wine, driven with real X input
from xdotool; its controls are read from outside by the dialog probe."""
import os
import re
import shutil
import subprocess
import time
from pathlib import Path

import pytest

from saver import WINE, Program, Screen, find_window, probe, wait_until, windows_path, xdotool
from test_pictures import make_picture

DIALOG_PROBE = os.environ.get("SAVER_DIALOG_PROBE", "")
DIALOG = ("#32770", "VelorinScreenSaver Options")
MESSAGE_BOX = ("#32770", "VelorinScreenSaver")
FILE_DIALOG = ("#32770", "Select Imagery File")
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
EFFECTS = (1011, 1013, 1014, 1002)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"

# id, class, style (besides WS_CHILD | WS_VISIBLE), caption, rectangle in
# dialog units. Template order is tab order.
GROUP, TAB, RADIO, CHECK, DEFAULT, EDIT = 0x20000, 0x10000, 9, 3, 1, 0x800080
TEMPLATE = [
    (1001, "BUTTON", RADIO | GROUP, "Full Screen", (7, 70, 51, 10)),
    (1008, "BUTTON", RADIO, "Centered On Screen", (7, 82, 81, 10)),
    (1009, "BUTTON", RADIO, "Bounce Around Screen", (7, 95, 90, 10)),
    (1, "BUTTON", DEFAULT | TAB, "OK", (178, 68, 50, 14)),
    (2, "BUTTON", TAB, "Cancel", (178, 86, 50, 14)),
    (1010, "BUTTON", RADIO | GROUP, "Imagery:", (7, 158, 43, 10)),
    (1012, "BUTTON", RADIO, "Text:", (7, 174, 32, 10)),
    (1004, "BUTTON", TAB, "...", (208, 156, 20, 14)),
    (1007, "EDIT", EDIT, "", (53, 172, 150, 14)),
    (1002, "BUTTON", CHECK | TAB, "Rewind Movie", (7, 142, 63, 10)),
    (1006, "EDIT", EDIT, "", (53, 156, 150, 14)),
    (1011, "BUTTON", CHECK | TAB, "2D Rotation", (7, 108, 63, 10)),
    (1013, "BUTTON", CHECK | TAB, "3D Rotation", (7, 119, 63, 10)),
    (1014, "BUTTON", CHECK | TAB, "Fade Edges", (7, 130, 63, 10)),
    (1017, "STATIC", 0x1007, "", (7, 7, 221, 26)),   # sunken black frame
    (-1, "STATIC", 4, "", (7, 61, 221, 1)),          # black rule
    (1003, "BUTTON", TAB, "www.velorin.example", (62, 40, 111, 14)),
    (1005, "BUTTON", TAB, "Install...", (178, 104, 50, 14)),
]


def dialog_probe(*args):
    return subprocess.run([WINE, DIALOG_PROBE, *map(str, args)], capture_output=True, text=True,
                          timeout=30).stdout.rstrip("\n")


class Control:
    def __init__(self, line):
        f = line.split("|", 12)
        self.id, self.kind, self.rect = int(f[0]), f[1].upper(), tuple(map(int, f[4:8]))
        self.style = int(f[2])
        self.checked, self.enabled, self.visible = (v == "1" for v in f[8:11])
        self.handle = int(f[11])
        self.text = re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r"}.get(m[1], m[1]), f[12])


def controls(window):
    """The window's children by id, in template order; the first of any id, as GetDlgItem."""
    found = {}
    for c in map(Control, dialog_probe("controls", window).splitlines()):
        found.setdefault(c.id, c)
    return found


def click(window, control_id):
    x, y, width, height = controls(window)[control_id].rect
    xdotool("mousemove", x + width // 2, y + height // 2)
    xdotool("click", 1)


def reg(*args):
    return subprocess.run([WINE, "reg", *args], capture_output=True, text=True, timeout=60)


class Prefix:
    """The session's Wine prefix, with the data folder C:\\Velorin Data named in win.ini."""
    def __init__(self):
        drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
        self.win_ini = drive_c / "windows" / "win.ini"
        self.target = drive_c / "windows" / "system32" / "VelorinScreenSaver.scr"
        self.data = drive_c / "Velorin Data"
        self.settings = self.data / "VelorinTools.ini"

    def write_win_ini(self, data_folder=r"C:\Velorin Data"):
        text = re.sub(r"(?ims)^\[folders\].*?(?=^\[|\Z)", "", self.win_ini.read_bytes().decode("latin-1"))
        folders = f"\r\n[Folders]\r\nVelorinTools={data_folder}\r\n" if data_folder else ""
        self.win_ini.write_bytes((text + folders).encode("latin-1"))

    def write_settings(self, **values):
        text = "[VelorinScreenSaver]\r\n" + "".join(f"{k}={v}\r\n" for k, v in values.items())
        self.settings.write_bytes(text.encode("latin-1"))

    def settings_values(self):
        lines = self.settings.read_bytes().decode("latin-1").splitlines()
        return dict(line.split("=", 1) for line in lines if "=" in line)


@pytest.fixture
def prefix():
    p = Prefix()
    p.write_win_ini()
    shutil.rmtree(p.data, ignore_errors=True)
    p.data.mkdir()
    reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    yield p
    p.target.rmdir() if p.target.is_dir() else p.target.unlink(missing_ok=True)
    shutil.rmtree(p.data, ignore_errors=True)
    p.write_win_ini(None)


class Dialog:
    def __init__(self, arguments):
        self.program = Program(arguments)
        window = wait_until(lambda: find_window(*DIALOG), timeout=20)
        assert window, "no options dialog"
        self.handle = window.handle
        time.sleep(0.3)

    def controls(self):
        return controls(self.handle)

    def press(self, control_id):
        click(self.handle, control_id)

    def close(self, button=IDCANCEL):
        self.press(button)
        assert self.program.exit_code(timeout=15) == button


@pytest.fixture
def open_dialog(prefix):
    opened = []
    yield lambda arguments="/c": opened.append(Dialog(arguments)) or opened[-1]
    for dialog in opened:
        dialog.program.stop()


@pytest.fixture
def browser(tmp_path):
    """The probe stands in for the browser: it writes down what it was asked to open."""
    record, key = tmp_path / "opened.txt", r"HKCR\https\shell\open\command"
    old = reg("query", key, "/ve").stdout.split("REG_SZ", 1)[-1].strip()
    command = f'"{windows_path(DIALOG_PROBE)}" record "{windows_path(record)}" "%1"'
    assert reg("add", key, "/ve", "/d", command, "/f").returncode == 0
    yield record
    reg("add", key, "/ve", "/d", old, "/f")


def test_the_dialog_as_built_its_banner_and_web_button(prefix, open_dialog, browser):
    # The saver run with no arguments shows it; Install is hidden when the
    # data folder is the system folder, where it would copy itself.
    prefix.write_win_ini(r"C:\windows\SYSTEM32")
    dialog = open_dialog(None)
    # Popup, caption, system menu, modal frame, centred, with a font.
    assert find_window(*DIALOG).style & 0x80C808C0 == 0x80C808C0
    shown = dialog.controls()
    assert all(c.enabled for c in shown.values())
    assert [i for i, c in shown.items() if not c.visible] == [1005]

    # Visibility is above; checking a radio button makes it a tab stop, and an edit
    # draws its border as an extended style. MS Shell Dlg 8 has base units of 6 by 12.
    def normal(style):
        return style & ~(0x10800000 | (TAB if style & 0xF == RADIO else 0))

    def pixels(x, y, w, h):
        return (x * 6 + 2) // 4, (y * 12 + 4) // 8, (w * 6 + 2) // 4, (h * 12 + 4) // 8
    dx, dy = (a - b for a, b in zip(shown[1001].rect[:2], pixels(7, 70, 0, 0)))
    assert [(c.id, c.kind, normal(c.style), c.text, c.rect) for c in shown.values()] == \
        [(c, kind, normal(0x50000000 | bits), text, (dx + r[0], dy + r[1], r[2], r[3]))
         for c, kind, bits, text, r in ((*t[:4], pixels(*t[4])) for t in TEMPLATE)]

    x, y, width, height = shown[1017].rect
    area = [(px, py) for py in range(y + 2, y + height - 2) for px in range(x + 2, x + width - 2)]
    first, _, second = Screen(), time.sleep(0.3), Screen()
    assert sum(first.pixel(*p) == (180, 150, 240) for p in area) > len(area) // 4, "no banner"
    assert sum(first.pixel(*p) != second.pixel(*p) for p in area) > 50, "the banner is still"

    dialog.press(1003)
    assert wait_until(browser.exists, timeout=20), "nothing was opened"
    time.sleep(0.5)
    assert browser.read_text().split() == ["https://www.velorin.example/"]
    dialog.close()


def test_opening_shows_the_stored_settings_and_ok_saves_the_controls(prefix, open_dialog):
    prefix.write_settings(Mode="T", ScreenMode="C", Rotation2D=7, Fade=0, Rewind=1,
                          File=r"C:\Pictures\gem.bmp", Text=r"Hello\nWorld")
    dialog = open_dialog()
    shown = dialog.controls()
    assert shown[1006].text == r"C:\Pictures\gem.bmp" and shown[1007].text == r"Hello\nWorld"
    # Text mode: the effect boxes are disabled and show their stored states.
    assert {i for i, c in shown.items() if c.checked} == {1008, 1012, 1011, 1002}
    assert not any(shown[i].enabled for i in EFFECTS)
    dialog.press(1001)   # Full Screen
    dialog.close(IDOK)
    assert prefix.settings_values() == {
        "Mode": "T", "ScreenMode": "F", "Rotation2D": "1", "Rotation3D": "0", "Fade": "0",
        "Rewind": "1", "File": r"C:\Pictures\gem.bmp", "Text": r"Hello\nWorld"}


@pytest.mark.parametrize("leave", [IDCANCEL, IDOK])
def test_typing_switches_to_text_and_browsing_to_imagery(prefix, open_dialog, leave):
    make_picture(str(prefix.data), "gem.bmp")
    prefix.write_settings(Mode="I", ScreenMode="B", Rotation3D=1, File="<background>")
    before = prefix.settings.read_bytes(), prefix.settings.stat().st_mtime_ns
    dialog = open_dialog()
    dialog.press(1007)
    xdotool("type", "--delay", "20", "Good night")
    shown = dialog.controls()
    assert shown[1007].text == "Good night" and shown[1012].checked and not shown[1010].checked
    assert not any(shown[i].enabled for i in EFFECTS)

    dialog.press(1004)
    chooser = wait_until(lambda: find_window(*FILE_DIALOG), timeout=20)
    assert chooser, "no file dialog"
    time.sleep(0.5)
    assert controls(chooser.handle)[1148].text == ""   # "<background>" is no file to start from
    xdotool("type", "--delay", "20", r"C:\Velorin Data\gem.bmp")
    click(chooser.handle, IDOK)
    assert wait_until(lambda: find_window(*FILE_DIALOG) is None)
    shown = dialog.controls()
    assert shown[1006].text == r"C:\Velorin Data\gem.bmp"
    assert shown[1010].checked and shown[1009].checked and not shown[1012].checked
    assert all(shown[i].enabled for i in EFFECTS)
    dialog.close(leave)
    if leave == IDCANCEL:   # not a byte written
        assert (prefix.settings.read_bytes(), prefix.settings.stat().st_mtime_ns) == before
    else:
        values = prefix.settings_values()
        assert (values["Mode"], values["ScreenMode"], values["Text"], values["Rotation3D"],
                values["File"]) == ("I", "B", "Good night", "1", r"C:\Velorin Data\gem.bmp")


def test_bad_settings_and_long_input_do_not_break_the_dialog(prefix, open_dialog):
    long_name = "C:\\" + "f" * 252   # 255 characters
    prefix.write_settings(Mode="Xylophone", ScreenMode="b", File=long_name + "f" * 200,
                          Text="t" * 300, Fade=99999999999)   # codes are case-sensitive
    dialog = open_dialog()
    shown = dialog.controls()
    assert {i for i, c in shown.items() if c.checked} == {1014}
    assert [len(shown[i].text) for i in (1006, 1007)] == [255, 255]
    assert [probe("send", shown[i].handle, 0x00D5, 0, 0) for i in (1006, 1007)] == ["255"] * 2
    dialog.press(1006)
    xdotool("key", "End")
    xdotool("type", "--delay", "5", "more")
    assert dialog.controls()[1006].text == long_name
    dialog.close(IDOK)
    values = prefix.settings_values()
    assert (values["Mode"], values["ScreenMode"]) == ("T", "S")
    assert values["File"] == long_name and values["Text"] == "t" * 255


def answer_message_box(button, previous=None):
    """Presses `button` in a message box other than `previous`; returns its handle and text."""
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


def is_short_path_of(path, file):
    linux = subprocess.run(["winepath", "-u", path], capture_output=True, text=True).stdout.strip()
    return os.path.samefile(linux, file) and all(
        " " not in p and len(p.partition(".")[0]) <= 8 and len(p.partition(".")[2]) <= 3
        for p in path.split("\\")[1:])


@pytest.mark.parametrize("case", ["cancel", "yes", "refused", "no"])
def test_install(prefix, open_dialog, case):
    scr, target, before = os.environ["SAVER_SCR"], prefix.target, r"C:\old\saver.scr"
    shutil.copy(scr, prefix.data / "VelorinScreenSaver.scr")
    if case == "refused":
        target.mkdir()   # no file can be written over a folder
    reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", before, "/f")

    dialog = open_dialog()
    dialog.press(1005)
    question, text = answer_message_box({"cancel": IDCANCEL, "no": IDNO}.get(case, IDYES))
    assert "copy VelorinScreenSaver to the Windows System folder so it will appear" in text
    outcome = None if case == "cancel" else answer_message_box(IDOK, question)[1]
    out = reg("query", DESKTOP_KEY, "/v", "SCRNSAVE.EXE").stdout
    entry = out.split("REG_SZ", 1)[1].strip()
    if case == "cancel":
        time.sleep(1.0)
        assert find_window(*MESSAGE_BOX) is None and entry == before and not target.exists()
    elif case == "refused":
        assert outcome == "Install failed." and entry == before and target.is_dir()
    elif case == "yes":
        assert outcome == "Install complete." and target.read_bytes() == Path(scr).read_bytes()
        assert is_short_path_of(entry, target)
    else:   # the data folder's copy, not the running build's
        assert outcome == "Install complete." and not target.exists()
        assert is_short_path_of(entry, prefix.data / "VelorinScreenSaver.scr")
    dialog.close()
    assert not prefix.settings.exists()
