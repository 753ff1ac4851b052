// A small Windows tool for the end-to-end tests: it looks at windows from the
// outside, sends them messages and plays the host of a preview window.
// Every command prints one line; numbers are decimal, handles are 32-bit.
//
//   winprobe find CLASS TITLE     -> "HWND x y width height style exstyle" or "none"
//   winprobe count CLASS TITLE    -> number of top-level windows with that class and title
//   winprobe child PARENT         -> first child: "HWND x y width height style exstyle class|title"
//   winprobe title HWND           -> the window's title
//   winprobe owner CLASS TITLE    -> owner of that top-level window, 0 if none
//   winprobe send HWND MSG WPARAM LPARAM -> SendMessageA result
//   winprobe post HWND MSG WPARAM LPARAM -> 1 when posted
//   winprobe foreground           -> the foreground window
//   winprobe activate HWND        -> brings the window to the foreground
//   winprobe invalidate HWND      -> marks the whole window for repainting, background erased
//   winprobe cursor               -> "shown" or "hidden"
//   winprobe run COMMANDLINE      -> starts the exact command line, prints "pid N", waits
//                                    for it and ends with its exit code (also printed as "exit N")
//   winprobe kill PID             -> ends that process at once
//   winprobe host WIDTH HEIGHT    -> makes a window with that client size, prints its
//                                    handle, then every WM_HELP/WM_CONTEXTMENU it gets
//                                    as "message MSG WPARAM"; ends when it is closed
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static unsigned long Number(HWND window) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window));
}

static HWND Window(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(text, nullptr, 10)));
}

static void PrintWindow(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    printf("%lu %ld %ld %ld %ld %lu %lu\n", Number(window), area.left, area.top,
           area.right - area.left, area.bottom - area.top,
           static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
}

struct CountRequest {
    const char* className;
    const char* title;
    int count;
};

static BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
    auto* request = reinterpret_cast<CountRequest*>(data);
    char className[256], title[256];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (strcmp(className, request->className) == 0 && strcmp(title, request->title) == 0)
        request->count++;
    return TRUE;
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HELP:
    case WM_CONTEXTMENU:
        printf("message %u %lu\n", message, static_cast<unsigned long>(wParam));
        fflush(stdout);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
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
    HWND window = CreateWindowA("ProbeHost", "Probe host",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                                area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    printf("%lu\n", Number(window));
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

static int Run(const char* commandLine) {
    // Starting the program with a command line of our own choosing lets the
    // tests write it exactly as the system would (quotes, leading spaces).
    char line[1024];
    snprintf(line, sizeof line, "%s", commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        printf("failed %lu\n", GetLastError());
        return 200;
    }
    printf("pid %lu\n", process.dwProcessId);
    fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    printf("exit %ld\n", static_cast<long>(exitCode));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    if (!strcmp(command, "find") && argc == 4) {
        HWND window = FindWindowA(argv[2], argv[3]);
        if (window)
            PrintWindow(window);
        else
            printf("none\n");
    } else if (!strcmp(command, "count") && argc == 4) {
        CountRequest request = {argv[2], argv[3], 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&request));
        printf("%d\n", request.count);
    } else if (!strcmp(command, "child") && argc == 3) {
        HWND child = GetWindow(Window(argv[2]), GW_CHILD);
        if (!child) {
            printf("none\n");
            return 0;
        }
        char className[256], title[256];
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, title, sizeof title);
        RECT area;
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, Window(argv[2]), reinterpret_cast<POINT*>(&area), 2);
        printf("%lu %ld %ld %ld %ld %lu %lu %s|%s\n", Number(child), area.left, area.top,
               area.right - area.left, area.bottom - area.top,
               static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
               static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)), className, title);
    } else if (!strcmp(command, "title") && argc == 3) {
        char title[256];
        GetWindowTextA(Window(argv[2]), title, sizeof title);
        printf("%s\n", title);
    } else if (!strcmp(command, "owner") && argc == 4) {
        HWND window = FindWindowA(argv[2], argv[3]);
        printf("%lu\n", window ? Number(GetWindow(window, GW_OWNER)) : 0ul);
    } else if (!strcmp(command, "send") && argc == 6) {
        LRESULT result = SendMessageA(Window(argv[2]), strtoul(argv[3], nullptr, 0),
                                      strtoul(argv[4], nullptr, 0), strtol(argv[5], nullptr, 0));
        printf("%ld\n", static_cast<long>(result));
    } else if (!strcmp(command, "post") && argc == 6) {
        BOOL posted = PostMessageA(Window(argv[2]), strtoul(argv[3], nullptr, 0),
                                   strtoul(argv[4], nullptr, 0), strtol(argv[5], nullptr, 0));
        printf("%d\n", posted ? 1 : 0);
    } else if (!strcmp(command, "foreground")) {
        printf("%lu\n", Number(GetForegroundWindow()));
    } else if (!strcmp(command, "activate") && argc == 3) {
        printf("%d\n", SetForegroundWindow(Window(argv[2])) ? 1 : 0);
    } else if (!strcmp(command, "invalidate") && argc == 3) {
        printf("%d\n", InvalidateRect(Window(argv[2]), nullptr, TRUE) ? 1 : 0);
    } else if (!strcmp(command, "cursor")) {
        CURSORINFO info = {};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
        printf("%s\n", (info.flags & CURSOR_SHOWING) && info.hCursor ? "shown" : "hidden");
    } else if (!strcmp(command, "kill") && argc == 3) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, strtoul(argv[2], nullptr, 10));
        if (process) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
    } else if (!strcmp(command, "run") && argc == 3) {
        return Run(argv[2]);
    } else if (!strcmp(command, "host") && argc == 4) {
        return Host(atoi(argv[2]), atoi(argv[3]));
    } else {
        return 2;
    }
    return 0;
}
