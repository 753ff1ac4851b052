// A small Windows tool for the end-to-end tests: it looks at windows of other
// processes from the outside, sends them messages, plays the host of a
// preview window, makes shell shortcuts and watches a screen pixel.
// Numbers and handles are decimal.
//
//   winprobe find CLASS TITLE     -> that top-level window, as below, or nothing
//   winprobe children HWND        -> one line per child window, in creation (tab) order:
//       "HWND|id|class|style|exstyle|x|y|width|height|checked|enabled|visible|owner|text"
//       (rectangle on the screen; text with \\, \r and \n escaped)
//   winprobe send HWND MSG WPARAM LPARAM -> SendMessageA result
//   winprobe post HWND MSG WPARAM LPARAM -> 1 when posted
//   winprobe foreground           -> the foreground window
//   winprobe activate HWND        -> brings the window to the foreground
//   winprobe cursor               -> "shown" or "hidden"
//   winprobe host WIDTH HEIGHT    -> makes a window with that client size, prints its
//                                    handle, then every WM_CONTEXTMENU it gets as
//                                    "message MSG WPARAM"; ends when it is closed
//   winprobe link SHORTCUT TARGET -> makes a shell shortcut, prints "made" or "failed"
//   winprobe watch X Y SECONDS    -> "MS RRGGBB" each time the screen pixel at (X, Y) changes
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static unsigned long Number(HWND window) { return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)); }

static HWND Window(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(text, nullptr, 10)));
}

static void PrintWindow(HWND window) {
    char className[256] = {}, text[1024] = {};
    GetClassNameA(window, className, sizeof className);
    // GetWindowText does not ask another process's edits for their text. A
    // window still being created answers once its thread takes messages again.
    DWORD_PTR length = 0, checked = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &length);
    // Buttons answer BM_GETCHECK; anything else may mean something else by it.
    if (_stricmp(className, "Button") == 0)
        SendMessageTimeoutA(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &checked);
    RECT area;
    GetWindowRect(window, &area);
    printf("%lu|%d|%s|%lu|%lu|%ld|%ld|%ld|%ld|%ld|%d|%d|%lu|", Number(window), static_cast<short>(GetDlgCtrlID(window)),
           className, static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), area.left, area.top, area.right - area.left,
           area.bottom - area.top, static_cast<long>(checked), IsWindowEnabled(window) ? 1 : 0,
           IsWindowVisible(window) ? 1 : 0, Number(GetWindow(window, GW_OWNER)));
    for (const char* c = text; *c; ++c) {
        const char plain[] = {*c, 0};
        fputs(*c == '\\' ? "\\\\" : *c == '\r' ? "\\r" : *c == '\n' ? "\\n" : plain, stdout);
    }
    putchar('\n');
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        printf("message %u %lu\n", message, static_cast<unsigned long>(wParam));
        fflush(stdout);
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

static int Host(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "ProbeHost";
    RegisterClassA(&windowClass);
    RECT area = {0, 0, width, height};
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window =
        CreateWindowA("ProbeHost", "Probe host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                      area.right - area.left, area.bottom - area.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    printf("%lu\n", Number(window));
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The shortcut a user would make in Explorer, saved by the shell's own writer.
// The probe ends right after: its objects go with it.
static bool MakeLink(const char* shortcut, const char* target) {
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH];
    return SUCCEEDED(CoInitialize(nullptr)) &&
           SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link))) &&
           SUCCEEDED(link->SetPath(target)) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
           MultiByteToWideChar(CP_ACP, 0, shortcut, -1, path, MAX_PATH) && SUCCEEDED(file->Save(path, TRUE));
}

static void Watch(int x, int y, double seconds) {
    HDC screen = GetDC(nullptr);
    const DWORD start = GetTickCount();
    COLORREF last = CLR_INVALID;
    while (GetTickCount() - start < seconds * 1000) {
        const COLORREF colour = GetPixel(screen, x, y);
        if (colour != last) {
            printf("%lu %02X%02X%02X\n", GetTickCount() - start, GetRValue(colour), GetGValue(colour),
                   GetBValue(colour));
            fflush(stdout);
            last = colour;
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
}

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    const auto is = [&](const char* name, int count) { return !strcmp(command, name) && argc == count; };
    if (is("find", 4)) {
        if (HWND window = FindWindowA(argv[2], argv[3]))
            PrintWindow(window);
    } else if (is("children", 3)) {
        for (HWND child = GetWindow(Window(argv[2]), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            PrintWindow(child);
    } else if (is("send", 6) || is("post", 6)) {
        HWND window = Window(argv[2]);
        const UINT message = strtoul(argv[3], nullptr, 0);
        const WPARAM wParam = strtoul(argv[4], nullptr, 0);
        const LPARAM lParam = strtol(argv[5], nullptr, 0);
        printf("%ld\n", command[0] == 's' ? long(SendMessageA(window, message, wParam, lParam))
                                          : long(PostMessageA(window, message, wParam, lParam)));
    } else if (is("foreground", 2)) {
        printf("%lu\n", Number(GetForegroundWindow()));
    } else if (is("activate", 3)) {
        printf("%d\n", SetForegroundWindow(Window(argv[2])) ? 1 : 0);
    } else if (is("cursor", 2)) {
        CURSORINFO info = {};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
        printf("%s\n", (info.flags & CURSOR_SHOWING) && info.hCursor ? "shown" : "hidden");
    } else if (is("host", 4)) {
        return Host(atoi(argv[2]), atoi(argv[3]));
    } else if (is("link", 4)) {
        printf("%s\n", MakeLink(argv[2], argv[3]) ? "made" : "failed");
    } else if (is("watch", 5)) {
        Watch(atoi(argv[2]), atoi(argv[3]), atof(argv[4]));
    } else {
        return 2;
    }
    return 0;
}
