"""The saver's roles, its window and the input that ends it, under Wine with real input."""
import time

import pytest

from saver import (BLACK, SAVER_CLASS, SAVER_TITLE, SC_MONITORPOWER, SC_SCREENSAVE, WM_CLOSE,
                   WM_CONTEXTMENU, WM_POWERBROADCAST, WM_SETTEXT, WM_SYSCOMMAND, Host, Program,
                   Screen, count_windows, find_window, probe, wait_until, write_settings, xdotool)

WS_POPUP_VISIBLE_CLIP = 0x96000000
WS_CHILD_VISIBLE_CLIPCHILDREN = 0x52000000
WS_EX_TOPMOST_TOOLWINDOW = 0x88
WS_VISIBLE = 0x10000000
DIALOG_CLASS = "#32770"
DIALOG_TITLE = "VelorinScreenSaver Options"
IDCANCEL = 2
WM_COMMAND = 0x0111


def start_full_screen():
    xdotool("mousemove", 500, 500)
    time.sleep(0.2)
    saver = Program("/s")
    # Visible once its creation has finished.
    window = wait_until(lambda: (lambda found: found if found and found.style & WS_VISIBLE
                                 else None)(find_window(SAVER_CLASS, SAVER_TITLE)))
    assert window, "no saver window"
    time.sleep(0.5)  # let it settle: first paint, cursor hidden
    return saver, window


@pytest.fixture(autouse=True)
def default_settings():
    write_settings()


@pytest.fixture
def cleanup():
    programs = []
    yield programs
    for program in programs:
        program.stop() if hasattr(program, "stop") else program.close()


# The spellings of the switches are the command-line unit tests' business;
# here each kind of input ends a real saver.
@pytest.mark.parametrize("ending", ["key", "click", "move"])
def test_full_screen_saver_covers_the_screen_and_ends_on_input(ending, cleanup):
    saver, window = start_full_screen()
    cleanup.append(saver)
    assert (window.x, window.y, window.width, window.height) == (0, 0, 1920, 1080)
    assert window.style == WS_POPUP_VISIBLE_CLIP
    assert window.exstyle == WS_EX_TOPMOST_TOOLWINDOW
    assert probe("cursor") == "hidden"
    # Black all round the display window (which shows the banner by default).
    screen = Screen()
    assert screen.region_is(0, 0, 1920, 400, BLACK, step=3)
    assert screen.region_is(0, 0, 600, 1080, BLACK, step=3)

    if ending == "key":
        xdotool("key", "a")
    elif ending == "click":
        xdotool("click", 1)
    else:
        xdotool("mousemove", 503, 501)   # 3 + 1 = 4 pixels: not enough
        time.sleep(1.0)
        assert saver.running(), "a move of 4 pixels ended the saver"
        xdotool("mousemove", 503, 502)   # 3 + 2 = 5 pixels
    assert saver.exit_code(timeout=10) == 0
    assert count_windows(SAVER_CLASS, SAVER_TITLE) == 0


def test_second_full_screen_start_returns_at_once(cleanup):
    saver, window = start_full_screen()
    cleanup.append(saver)
    second = Program("/s")
    assert second.exit_code(timeout=10) == 0
    assert count_windows(SAVER_CLASS, SAVER_TITLE) == 1
    assert saver.running()
    probe("post", window.handle, WM_CLOSE, 0, 0)
    assert saver.exit_code() == 0


def test_messages_that_must_not_end_or_rename_the_saver(cleanup):
    saver, window = start_full_screen()
    cleanup.append(saver)
    # The title cannot be changed from outside.
    probe("send", window.handle, WM_SETTEXT, 0, 0)
    assert probe("title", window.handle) == SAVER_TITLE
    # The system's request to start a screen saver is swallowed.
    assert probe("send", window.handle, WM_SYSCOMMAND, SC_SCREENSAVE, 0) == "0"
    # A query-suspend is agreed to without closing.
    assert probe("send", window.handle, WM_POWERBROADCAST, 0, 0) == "1"
    time.sleep(0.5)
    assert saver.running()
    # The suspend itself ends the saver.
    probe("send", window.handle, WM_POWERBROADCAST, 4, 0)
    assert saver.exit_code() == 0


def test_monitor_power_command_ends_the_saver(cleanup):
    saver, window = start_full_screen()
    cleanup.append(saver)
    probe("send", window.handle, WM_SYSCOMMAND, SC_MONITORPOWER, 2)
    assert saver.exit_code() == 0


def test_preview_fills_its_host_ignores_input_and_ends_with_it(cleanup):
    host = Host(152, 112)
    cleanup.append(host)
    preview = Program(f"/p {host.handle}")
    cleanup.append(preview)
    # Visible once its creation has finished.
    child = wait_until(lambda: (lambda line: line if line not in ("", "none") and
                                int(line.split()[5]) & WS_VISIBLE else None)(
        probe("child", host.handle)))
    assert child, "no preview window"
    handle, x, y, width, height, style, exstyle, name = child.split(maxsplit=7)
    assert name == f"{SAVER_CLASS}|Preview"
    assert (int(x), int(y), int(width), int(height)) == (0, 0, 152, 112)
    assert int(style) == WS_CHILD_VISIBLE_CLIPCHILDREN and int(exstyle) == 0

    xdotool("mousemove", 60, 60)
    xdotool("click", 1)
    xdotool("key", "a")
    xdotool("mousemove", 120, 100)
    # A context-menu request in the preview goes to the host, with the host's
    # handle as wParam.
    assert probe("send", handle, WM_CONTEXTMENU, 0, 0x00300030) == "1"
    time.sleep(0.7)
    assert preview.running(), "input ended the preview"

    host.close()
    assert preview.exit_code(timeout=10) == 0
    assert [str(WM_CONTEXTMENU), str(host.handle)] in host.messages()


# No preview host, a handle that is no window, no such role, and the password
# role outside Windows 9x.
@pytest.mark.parametrize("arguments", ["/p", "/p 99999", "/x", "/a 0"])
def test_unusable_switches_end_with_minus_one_and_create_nothing(arguments):
    assert Program(arguments).exit_code(timeout=10) == -1
    assert count_windows(SAVER_CLASS, SAVER_TITLE) == 0
    assert count_windows(SAVER_CLASS, "Preview") == 0


def options_dialog_owner(arguments, foreground):
    # Closing an owned dialog activates its owner, so the foreground is set anew each time.
    probe("activate", foreground.handle)
    assert wait_until(lambda: probe("foreground") == str(foreground.handle), timeout=5)
    dialog = Program(arguments)
    window = wait_until(lambda: find_window(DIALOG_CLASS, DIALOG_TITLE))
    assert window, f"no options dialog for {arguments!r}"
    owner = int(probe("owner", DIALOG_CLASS, DIALOG_TITLE))
    probe("post", window.handle, WM_COMMAND, IDCANCEL, 0)
    assert dialog.exit_code() == IDCANCEL
    return owner


def test_options_dialog_owner_from_the_command_line(cleanup):
    named = Host()
    cleanup.append(named)
    front = Host()
    cleanup.append(front)
    assert options_dialog_owner(f"/c:{named.handle}", front) == named.handle
    assert options_dialog_owner("/c:99999", front) == front.handle
    assert options_dialog_owner(None, front) == 0
