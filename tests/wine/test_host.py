# The saver's roles, its window and the input that ends it, under Wine with real input.
# The spellings of the switches and the rule for each message are the unit
# tests' business; here real input and real messages reach a real saver.
import time

import pytest

from saver import (BANNER_RECT, SAVER_CLASS, SAVER_TITLE, SETTINGS_FILE, WM_CONTEXTMENU, Host, Program,
                   Screen, children, find_window, probe, wait_until, write_section, xdotool)

WM_SETTEXT, WM_COMMAND, WM_SYSCOMMAND, WM_POWERBROADCAST = 0x000C, 0x0111, 0x0112, 0x0218
SC_SCREENSAVE, SC_MONITORPOWER, PBT_APMQUERYSUSPEND, IDCANCEL = 0xF140, 0xF170, 0, 2


# Each message's rule (a suspend, another program taking the foreground) is the
# unit tests'; here the input reaches the saver through its display window.
@pytest.mark.parametrize("ending", ["key", "click", "move", "monitor off"])
def test_full_screen_saver_covers_the_screen_and_ends_on_input(saver, ending):
    # The pointer rests over the display window (the banner, centred): moves
    # there must reach the saver window too.
    running = saver(pointer=(960, 540), ScreenMode="C")
    handle = running.window.handle
    time.sleep(0.5)  # first paint, cursor hidden
    assert running.window.rect == (0, 0, 1920, 1080)
    # Popup, visible, clipping; topmost tool window.
    assert (running.window.style, running.window.exstyle) == (0x96000000, 0x88)
    assert probe("cursor") == "hidden"
    assert Screen().black_outside(BANNER_RECT, step=3)

    # None of these ends it: a new title (refused), the system's request to
    # start a screen saver (swallowed), the question before a suspend
    # (agreed to), a second start (returns at once).
    probe("send", handle, WM_SETTEXT, 0, 0)
    assert probe("send", handle, WM_SYSCOMMAND, SC_SCREENSAVE, 0) == "0"
    assert probe("send", handle, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0) == "1"
    assert Program("/s").exit_code(timeout=10) == 0
    assert find_window(SAVER_CLASS, SAVER_TITLE).handle == handle
    assert running.program.running()

    if ending == "move":
        xdotool("mousemove", 963, 541)   # 3 + 1 = 4 pixels: not enough
        time.sleep(1.0)
        assert running.program.running(), "a move of 4 pixels ended the saver"
    {"key": lambda: xdotool("key", "a"), "click": lambda: xdotool("click", 1),
     "move": lambda: xdotool("mousemove", 963, 542),   # 3 + 2 = 5 pixels
     "monitor off": lambda: probe("send", handle, WM_SYSCOMMAND, SC_MONITORPOWER, 2)}[ending]()
    assert running.program.exit_code(timeout=10) == 0


def test_preview_fills_its_host_bounces_inside_it_and_ignores_input(started):
    write_section(SETTINGS_FILE, "VelorinScreenSaver", {})
    host = Host()
    preview = Program(f"/p {host.handle}")
    started += [host, preview]
    # Visible once its creation has finished, with the display window inside
    # it (the banner, bouncing by default).
    window = wait_until(lambda: next((w for w in children(host.handle) if w.visible), None))
    assert window, "no preview window"
    assert (window.kind, window.text, window.rect[2:]) == (SAVER_CLASS.upper(), "Preview",
                                                           (152, 112))
    assert (window.style, window.exstyle) == (0x52000000, 0)   # child, visible, clipping children

    # Each sample waits for the next position: samples are far apart next to
    # the 20 ms ticks, and a busy machine may deliver none between two of
    # them. Seconds of motion keep inside the host only by turning at its
    # edges; a tick that meets an edge may leave the window up to one step
    # (5 pixels) past it.
    places = []
    for _ in range(15):
        display = wait_until(lambda: (lambda d: d if d and d.rect[:2] not in places[-1:] else None)(
            next(iter(children(window.handle)), None)))
        assert display, f"the display window stopped at {places[-1:]}"
        x, y = display.rect[0] - window.rect[0], display.rect[1] - window.rect[1]
        assert -5 <= x <= 152 - display.rect[2] + 5 and -5 <= y <= 112 - display.rect[3] + 5, (x, y)
        places.append(display.rect[:2])

    xdotool("mousemove", 60, 60)
    xdotool("click", 1)
    xdotool("key", "a")
    xdotool("mousemove", 120, 100)
    # A context-menu request in the preview goes to the host, with the host's
    # handle as wParam.
    assert probe("send", window.handle, WM_CONTEXTMENU, 0, 0x00300030) == "1"
    time.sleep(0.7)
    assert preview.running(), "input ended the preview"
    host.stop()
    assert preview.exit_code(timeout=10) == 0
    assert [str(WM_CONTEXTMENU), str(host.handle)] in host.messages()


# No preview host, a handle that is no window, no such role.
@pytest.mark.parametrize("arguments", ["/p", "/p 99999", "/x"])
def test_unusable_switches_end_with_minus_one(arguments):
    assert Program(arguments).exit_code(timeout=10) == -1


def test_options_dialog_owner_from_the_command_line(started):
    named, front = Host(), Host()
    started += [named, front]
    for arguments, owner in [(f"/c:{named.handle}", named.handle), ("/c:99999", front.handle),
                             (None, 0)]:
        # Closing an owned dialog activates its owner: the foreground is set anew each time.
        probe("activate", front.handle)
        assert wait_until(lambda: probe("foreground") == str(front.handle), timeout=5)
        dialog = Program(arguments)
        window = wait_until(lambda: find_window("#32770", "VelorinScreenSaver Options"))
        assert window, f"no options dialog for {arguments!r}"
        probe("post", window.handle, WM_COMMAND, IDCANCEL, 0)
        assert dialog.exit_code() == IDCANCEL and window.owner == owner, arguments
