"""The options dialog of the real .scr under Wine: what it shows, what OK and
Cancel leave in the settings file, browsing, the turning banner, the web site
button and the install sequence. Clicks and typing are real X input from
xdotool; the controls are read from outside by the dialog probe."""
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

from saver import WINE, Program, Screen, find_window, probe, wait_until, windows_path, xdotool
from test_pictures import make_picture

WINESERVER = "/usr/lib/wine/wineserver"
DIALOG_PROBE = os.environ.get("SAVER_DIALOG_PROBE", "")
DIALOG = ("#32770", "VelorinScreenSaver Options")
MESSAGE_BOX = ("#32770", "VelorinScreenSaver")
FILE_DIALOG = ("#32770", "Select Imagery File")
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
EM_GETLIMITTEXT = 0x00D5
FILE_NAME, FILE_TYPES, READ_ONLY = 1148, 1136, 1040   # the file dialog's cmb13, cmb1, chx1
EFFECTS = (1011, 1013, 1014, 1002)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"

# The template as it must be: id, class, kind and flags, caption, rectangle in
# dialog units. Template order is tab order.
WS_CHILD_VISIBLE, WS_GROUP, WS_TABSTOP, WS_BORDER = 0x50000000, 0x20000, 0x10000, 0x800000
RADIO, CHECK, PUSH, DEFAULT_PUSH = 9, 3, 0, 1
EDIT = WS_BORDER | 0x80   # ES_AUTOHSCROLL
BLACK_FRAME_SUNKEN, BLACK_RECT = 0x1007, 4
TEMPLATE = [
    (1001, "BUTTON", RADIO | WS_GROUP, "Full Screen", (7, 70, 51, 10)),
    (1008, "BUTTON", RADIO, "Centered On Screen", (7, 82, 81, 10)),
    (1009, "BUTTON", RADIO, "Bounce Around Screen", (7, 95, 90, 10)),
    (1, "BUTTON", DEFAULT_PUSH | WS_TABSTOP, "OK", (178, 68, 50, 14)),
    (2, "BUTTON", PUSH | WS_TABSTOP, "Cancel", (178, 86, 50, 14)),
    (1010, "BUTTON", RADIO | WS_GROUP, "Imagery:", (7, 158, 43, 10)),
    (1012, "BUTTON", RADIO, "Text:", (7, 174, 32, 10)),
    (1004, "BUTTON", PUSH | WS_TABSTOP, "...", (208, 156, 20, 14)),
    (1007, "EDIT", EDIT, "", (53, 172, 150, 14)),
    (1002, "BUTTON", CHECK | WS_TABSTOP, "Rewind Movie", (7, 142, 63, 10)),
    (1006, "EDIT", EDIT, "", (53, 156, 150, 14)),
    (1011, "BUTTON", CHECK | WS_TABSTOP, "2D Rotation", (7, 108, 63, 10)),
    (1013, "BUTTON", CHECK | WS_TABSTOP, "3D Rotation", (7, 119, 63, 10)),
    (1014, "BUTTON", CHECK | WS_TABSTOP, "Fade Edges", (7, 130, 63, 10)),
    (1017, "STATIC", BLACK_FRAME_SUNKEN, "", (7, 7, 221, 26)),
    (-1, "STATIC", BLACK_RECT, "", (7, 61, 221, 1)),
    (1003, "BUTTON", PUSH | WS_TABSTOP, "www.velorin.example", (62, 40, 111, 14)),
    (1005, "BUTTON", PUSH | WS_TABSTOP, "Install...", (178, 104, 50, 14)),
]


def dialog_probe(*args):
    return subprocess.run([WINE, DIALOG_PROBE, *map(str, args)], capture_output=True, text=True,
                          timeout=30).stdout.rstrip("\n")


class Control:
    def __init__(self, line):
        fields = line.split("|", 12)
        self.id, self.kind, self.rect = int(fields[0]), fields[1].upper(), tuple(map(int, fields[4:8]))
        self.checked, self.enabled, self.visible = (f == "1" for f in fields[8:11])
        self.handle = int(fields[11])
        self.text = re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r"}.get(m[1], m[1]), fields[12])


def controls(window):
    """The window's children, in template order."""
    return {c.id: c for c in map(Control, dialog_probe("controls", window).splitlines())}


def click(window, control_id):
    x, y, width, height = map(int, dialog_probe("screen", window, control_id).split())
    xdotool("mousemove", x + width // 2, y + height // 2)
    xdotool("click", 1)


def checked(window):
    return {i for i, c in controls(window).items() if c.checked}


class Prefix:
    """The session's Wine prefix, with the data folder C:\\Velorin Data named in win.ini."""
    def __init__(self):
        self.root = Path(os.environ["WINEPREFIX"])
        self.drive_c = self.root / "drive_c"
        self.win_ini = self.drive_c / "windows" / "win.ini"
        self.system32 = self.drive_c / "windows" / "system32"
        self.data = self.drive_c / "Velorin Data"
        self.settings = self.data / "VelorinTools.ini"

    def write_win_ini(self, data_folder=r"C:\Velorin Data"):
        kept, skipping = [], False
        for line in self.win_ini.read_bytes().decode("latin-1").splitlines():
            if line.startswith("["):
                skipping = line.strip().lower() in ("[velorinscreensaver]", "[folders]")
            kept += [] if skipping else [line]
        kept += ["[Folders]", f"VelorinTools={data_folder}"] if data_folder else []
        self.win_ini.write_bytes(("\r\n".join(kept) + "\r\n").encode("latin-1"))

    def write_settings(self, path=None, **values):
        text = "[VelorinScreenSaver]\r\n" + "".join(f"{k}={v}\r\n" for k, v in values.items())
        (path or self.settings).write_bytes(text.encode("latin-1"))

    def settings_values(self, path=None):
        lines = (path or self.settings).read_bytes().decode("latin-1").splitlines()
        return dict(line.split("=", 1) for line in lines if "=" in line)

    def reg(self, *args):
        return subprocess.run([WINE, "reg", *args], capture_output=True, text=True, timeout=60)

    def saver_entry(self):
        """SCRNSAVE.EXE of the user's desktop settings, or None."""
        out = self.reg("query", DESKTOP_KEY, "/v", "SCRNSAVE.EXE").stdout
        return next((line.split("REG_SZ", 1)[1].strip() for line in out.splitlines()
                     if "REG_SZ" in line), None)


@pytest.fixture
def prefix():
    p = Prefix()
    p.write_win_ini()
    shutil.rmtree(p.data, ignore_errors=True)
    p.data.mkdir()
    p.reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    yield p
    target = p.system32 / "VelorinScreenSaver.scr"
    target.rmdir() if target.is_dir() else target.unlink(missing_ok=True)
    shutil.rmtree(p.data, ignore_errors=True)
    p.write_win_ini(None)


class OpenDialog:
    def __init__(self, arguments="/c", program=None):
        self.program = Program(arguments, program)
        window = wait_until(lambda: find_window(*DIALOG), timeout=20)
        assert window, "no options dialog"
        self.handle = window.handle
        time.sleep(0.3)

    def controls(self):
        return controls(self.handle)

    def press(self, control_id):
        click(self.handle, control_id)

    def closes_with(self, code):
        return self.program.exit_code(timeout=15) == code


@pytest.fixture
def dialogs():
    opened = []
    yield lambda *args: opened.append(OpenDialog(*args)) or opened[-1]
    for dialog in opened:
        dialog.program.stop()


def test_the_dialog_template_and_the_controls_it_makes(prefix, dialogs):
    lines = dialog_probe("template", windows_path(os.environ["SAVER_SCR"]), 2003).splitlines()
    head = lines[0].split("|")
    # Popup, caption, system menu, modal frame, centred, with a font.
    assert int(head[1]) == 0x80000000 | 0xC00000 | 0x80000 | 0x80 | 0x800 | 0x40
    assert head[3:] == ["0", "0", "235", "206", "VelorinScreenSaver Options", "8", "MS Shell Dlg"]
    items = [line.split("|") for line in lines[1:]]
    assert [(int(i[0]), i[1].upper(), int(i[2]), i[8], tuple(map(int, i[4:8]))) for i in items] == \
        [(cid, kind, WS_CHILD_VISIBLE | style, caption, rect)
         for cid, kind, style, caption, rect in TEMPLATE]

    # The saver started with no arguments shows it laid out in the dialog
    # units of its font: one pair of base units maps every rectangle.
    dialog = dialogs(None)
    shown = dialog.controls()
    assert list(shown) == [row[0] for row in TEMPLATE]
    assert all(c.visible and c.enabled for c in shown.values())
    # The manifest brings the common controls of version 6, which draw in the system's style.
    modules = dialog_probe("modules", dialog.program.pid).lower().splitlines()
    assert any("common-controls_6595b64144ccf1df_6." in m and m.endswith("comctl32.dll")
               for m in modules), modules

    def maps(unit_x, unit_y):
        return all(shown[cid].rect == ((x * unit_x + 2) // 4, (y * unit_y + 4) // 8,
                                       (w * unit_x + 2) // 4, (h * unit_y + 4) // 8)
                   for cid, _, _, _, (x, y, w, h) in TEMPLATE)
    assert any(maps(ux, uy) for ux in range(4, 40) for uy in range(8, 80))
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)


def test_opening_shows_the_stored_settings_and_ok_saves_the_controls(prefix, dialogs):
    prefix.write_settings(Mode="T", ScreenMode="C", Rotation2D=7, Fade=0, Rewind=1,
                          File=r"C:\Pictures\gem.bmp", Text=r"Hello\nWorld")
    dialog = dialogs()
    shown = dialog.controls()
    assert shown[1006].text == r"C:\Pictures\gem.bmp" and shown[1007].text == r"Hello\nWorld"
    assert checked(dialog.handle) == {1008, 1012, 1011, 1002}
    # Text mode: the effect boxes are disabled and show their stored states.
    assert not any(shown[i].enabled for i in EFFECTS)
    dialog.press(1001)   # Full Screen
    dialog.press(IDOK)
    assert dialog.closes_with(IDOK)
    assert prefix.settings_values() == {
        "Mode": "T", "ScreenMode": "F", "Rotation2D": "1", "Rotation3D": "0", "Fade": "0",
        "Rewind": "1", "File": r"C:\Pictures\gem.bmp", "Text": r"Hello\nWorld"}


def test_typing_into_the_text_switches_to_text_and_only_ok_saves(prefix, dialogs):
    prefix.write_settings(Mode="I", ScreenMode="B", Rotation3D=1, File="<background>")
    before = prefix.settings.read_bytes(), prefix.settings.stat().st_mtime_ns
    for leave in ("Cancel", "Escape", "OK"):
        dialog = dialogs()
        assert checked(dialog.handle) == {1009, 1010, 1013, 1014}
        assert all(dialog.controls()[i].enabled for i in EFFECTS)
        dialog.press(1008)
        dialog.press(1007)
        xdotool("type", "--delay", "20", "Good night")
        shown = dialog.controls()
        assert shown[1007].text == "Good night"
        assert shown[1012].checked and not shown[1010].checked
        assert not any(shown[i].enabled for i in EFFECTS)
        if leave == "Escape":
            xdotool("key", "Escape")
        else:
            dialog.press(IDOK if leave == "OK" else IDCANCEL)
        assert dialog.closes_with(IDOK if leave == "OK" else IDCANCEL)
        if leave != "OK":   # not a byte written
            assert (prefix.settings.read_bytes(), prefix.settings.stat().st_mtime_ns) == before
    values = prefix.settings_values()
    assert (values["Mode"], values["ScreenMode"], values["Text"], values["Rotation3D"],
            values["File"]) == ("T", "C", "Good night", "1", "<background>")


def test_browsing_to_a_file_switches_to_imagery(prefix, dialogs):
    make_picture(str(prefix.data), "gem.bmp")
    prefix.write_settings(Mode="T", File="<background>")
    dialog = dialogs()

    def open_file_dialog():
        dialog.press(1004)
        window = wait_until(lambda: find_window(*FILE_DIALOG), timeout=20)
        assert window, "no file dialog"
        time.sleep(0.5)
        return window

    # "<background>" is no file to start from; cancelling keeps it.
    chooser = open_file_dialog()
    shown = controls(chooser.handle)
    assert shown[FILE_TYPES].text == "Imagery Files (*.avi,*.bmp,*.jpg)"
    assert shown[FILE_NAME].text == ""
    assert not shown[READ_ONLY].visible
    xdotool("key", "Escape")
    assert wait_until(lambda: find_window(*FILE_DIALOG) is None)
    assert dialog.controls()[1006].text == "<background>"
    assert 1012 in checked(dialog.handle)

    chooser = open_file_dialog()
    xdotool("type", "--delay", "20", r"C:\Velorin Data\gem.bmp")
    click(chooser.handle, IDOK)
    assert wait_until(lambda: find_window(*FILE_DIALOG) is None)
    shown = dialog.controls()
    assert shown[1006].text == r"C:\Velorin Data\gem.bmp"
    assert shown[1010].checked and not shown[1012].checked
    assert all(shown[i].enabled for i in EFFECTS)
    dialog.press(IDOK)
    assert dialog.closes_with(IDOK)
    values = prefix.settings_values()
    assert (values["Mode"], values["File"]) == ("I", r"C:\Velorin Data\gem.bmp")


def test_the_banner_turns(prefix, dialogs):
    dialog = dialogs()
    x, y, width, height = map(int, dialog_probe("screen", dialog.handle, 1017).split())
    time.sleep(0.5)
    first = Screen()
    time.sleep(0.3)
    second = Screen()
    area = [(px, py) for py in range(y + 2, y + height - 2) for px in range(x + 2, x + width - 2)]
    assert sum(first.pixel(*p) == (180, 150, 240) for p in area) > len(area) // 4, "no banner"
    changed = sum(first.pixel(*p) != second.pixel(*p) for p in area)
    assert changed > 50, f"the banner did not move: {changed} pixels changed"
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)


LONG_NAME = "C:\\" + "f" * 100 + "|" + "f" * 151   # 255 characters, one that no file name holds


def test_bad_settings_and_long_input_do_not_break_the_dialog(prefix, dialogs):
    # A data folder that does not exist: the settings live beside the program.
    program_folder = prefix.drive_c / "Program Files" / "Velorin"
    program_folder.mkdir(parents=True, exist_ok=True)
    saver = program_folder / "VelorinScreenSaver.scr"
    shutil.copy(os.environ["SAVER_SCR"], saver)
    prefix.write_win_ini(r"C:\No Such Folder")
    settings = program_folder / "VelorinTools.ini"
    prefix.write_settings(settings, Mode="Xylophone", ScreenMode="?", File=LONG_NAME + "f" * 200,
                          Text="t" * 300, Fade=99999999999)
    try:
        dialog = dialogs("/c", str(saver))
        shown = dialog.controls()
        assert checked(dialog.handle) == {1014}
        assert not any(shown[i].enabled for i in EFFECTS)
        assert len(shown[1006].text) == 255 and len(shown[1007].text) == 255
        assert [probe("send", shown[i].handle, EM_GETLIMITTEXT, 0, 0) for i in (1006, 1007)] == \
            ["255", "255"]
        dialog.press(1006)
        xdotool("key", "End")
        xdotool("type", "--delay", "5", "more")
        assert dialog.controls()[1006].text == LONG_NAME
        # "..." still opens the file dialog, and cancelling it keeps the name.
        dialog.press(1004)
        assert wait_until(lambda: find_window(*FILE_DIALOG), timeout=20), "no file dialog"
        time.sleep(0.5)
        xdotool("key", "Escape")
        assert wait_until(lambda: find_window(*FILE_DIALOG) is None)
        assert dialog.controls()[1006].text == LONG_NAME
        dialog.press(IDOK)
        assert dialog.closes_with(IDOK)
        values = prefix.settings_values(settings)
        assert (values["Mode"], values["ScreenMode"]) == ("T", "S")
        assert values["File"] == LONG_NAME and values["Text"] == "t" * 255
    finally:
        shutil.rmtree(program_folder, ignore_errors=True)


def test_the_web_button_opens_the_site(prefix, dialogs, tmp_path):
    # The probe stands in for the browser: it writes down what it was asked to open.
    record = tmp_path / "opened.txt"
    key = r"HKCR\https\shell\open\command"
    browser = prefix.reg("query", key, "/ve").stdout.split("REG_SZ", 1)[-1].strip()
    command = f'"{windows_path(DIALOG_PROBE)}" record "{windows_path(record)}" "%1"'
    assert prefix.reg("add", key, "/ve", "/d", command, "/f").returncode == 0
    try:
        dialog = dialogs()
        dialog.press(1003)
        assert wait_until(record.exists, timeout=20), "nothing was opened"
        time.sleep(0.5)
        assert record.read_text().split() == ["https://www.velorin.example/"]
        dialog.press(IDCANCEL)
        assert dialog.closes_with(IDCANCEL)
    finally:
        prefix.reg("add", key, "/ve", "/d", browser, "/f")


QUESTION = ("This operation will configure VelorinScreenSaver as the system screen saver.\n\n"
            "Would you like to copy VelorinScreenSaver to the Windows System folder so it will "
            "appear in the list of selectable screen savers?")


def answer_message_box(button, previous=None):
    """Presses `button` in the install sequence's message box (another one
    than `previous`); returns (its handle, its text)."""
    def current():
        box = find_window(*MESSAGE_BOX)
        return box.handle if box and box.handle != previous else None
    box = wait_until(current, timeout=20)
    assert box, "no message box"
    time.sleep(0.3)
    text = [c.text for c in controls(box).values() if c.kind == "STATIC" and c.text][-1]
    click(box, button)
    assert wait_until(lambda: current() != box)
    return box, text


def install(dialog, answer):
    """Runs the install sequence; the text of the message box that ends it, if any."""
    dialog.press(1005)
    question, text = answer_message_box(answer)
    assert text.replace("\r\n", "\n") == QUESTION
    if answer != IDCANCEL:
        return answer_message_box(IDOK, question)[1]
    time.sleep(1.0)
    assert find_window(*MESSAGE_BOX) is None


def is_short_path_of(path, file):
    """`path` names `file` by its 8.3 name: no part longer, no spaces."""
    linux = subprocess.run(["winepath", "-u", path], capture_output=True, text=True).stdout.strip()
    return os.path.samefile(linux, file) and all(
        " " not in p and len(p.partition(".")[0]) <= 8 and len(p.partition(".")[2]) <= 3
        for p in path.split("\\")[1:])


@pytest.mark.parametrize("case", ["cancel", "yes", "refused", "no", "no without a saver"])
def test_install(prefix, dialogs, case):
    scr = os.environ["SAVER_SCR"]
    if case != "no without a saver":
        shutil.copy(scr, prefix.data / "VelorinScreenSaver.scr")
    target = prefix.system32 / "VelorinScreenSaver.scr"
    if case == "refused":
        target.mkdir()   # no file can be written over a folder
    before = r"C:\old\saver.scr"
    prefix.reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", before, "/f")

    # The running saver is the build's; the data folder's copy is installed.
    dialog = dialogs()
    answer = {"cancel": IDCANCEL, "yes": IDYES, "refused": IDYES}.get(case, IDNO)
    outcome = install(dialog, answer)
    entry = prefix.saver_entry()
    if case == "cancel":
        assert outcome is None and entry == before and not target.exists()
    elif case in ("refused", "no without a saver"):
        assert outcome == "Install failed." and entry == before
        assert target.is_dir() if case == "refused" else not target.exists()
    elif case == "yes":
        assert outcome == "Install complete."
        assert target.read_bytes() == Path(scr).read_bytes()
        assert is_short_path_of(entry, target)
    else:
        assert outcome == "Install complete." and not target.exists()
        assert is_short_path_of(entry, prefix.data / "VelorinScreenSaver.scr")
    # The dialog carries on; Cancel still writes no settings.
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)
    assert not prefix.settings.exists()


def test_install_is_hidden_when_the_data_folder_is_the_system_folder(prefix, dialogs):
    prefix.write_win_ini(r"C:\windows\SYSTEM32")
    dialog = dialogs()
    shown = dialog.controls()
    assert not shown[1005].visible and shown[1003].visible
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)


@pytest.fixture
def high_dpi_prefix(monkeypatch):
    """A prefix of its own whose screen has 144 dots per inch (150 %)."""
    root = Path(tempfile.mkdtemp(prefix="velorin-dpi."))
    shutil.copytree(os.environ["SAVER_TEMPLATE_PREFIX"], root, symlinks=True, dirs_exist_ok=True)
    monkeypatch.setenv("WINEPREFIX", str(root))
    subprocess.run([WINESERVER, "-p"], check=True)
    # Services start here, with no pipe of ours to hold on to.
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINE, "wineboot"], **quiet)
    for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run([WINE, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144",
                        "/f"], check=True, **quiet)
    yield root
    subprocess.run([WINESERVER, "-k"])
    shutil.rmtree(root, ignore_errors=True)


def layout(dialog):
    """Sizes of the dialog's controls, and the dialog's DPI awareness."""
    shown = dialog.controls()
    return {i: c.rect[2:] for i, c in shown.items()}, dialog_probe("dpi", dialog.handle).split()[1]


def test_the_dialog_scales_with_the_screen_dpi(prefix, dialogs, high_dpi_prefix, monkeypatch):
    dialog = dialogs()
    large, awareness = layout(dialog)
    # Per-monitor aware (2): the system never stretches its pixels; its font
    # and dialog units grow with the DPI instead. (Wine tells other processes
    # 96 for any window's DPI, so the sizes show it.)
    assert awareness == "2"
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)

    monkeypatch.setenv("WINEPREFIX", str(prefix.root))
    dialog = dialogs()
    normal, awareness = layout(dialog)
    assert awareness == "2"
    for cid, (width, height) in normal.items():
        if cid != -1:   # the rule is one unit high
            assert 1.3 <= large[cid][0] / width <= 1.7 and 1.3 <= large[cid][1] / height <= 1.7, cid
    dialog.press(IDCANCEL)
    assert dialog.closes_with(IDCANCEL)
