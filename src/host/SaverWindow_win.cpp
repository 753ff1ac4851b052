#include "engine/Engine.h"
#include "host/Host.h"
#include "host/InputRules.h"
#include "platform/ScopeOwners.h"

// Where the cursor was when the saver started, or when a password was refused
// (screen pixels): the mouse must move away from it to close the saver.
static POINT initialCursor;

typedef HIMC(WINAPI* ImmAssociateContextFunction)(HWND, HIMC);
static ImmAssociateContextFunction immAssociate;
static HIMC savedInputContext;

static const char saverClassName[] = "WindowsScreenSaverClass";
static const char fullScreenTitle[] = "Screen Saver";
static const char previewTitle[] = "Preview";

// The whole virtual screen; if the system reports no size, the clip box of
// the screen device context.
static RECT VirtualScreenRect() {
    RECT area;
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width == 0 || height == 0) {
        const WindowDC screen(nullptr);
        GetClipBox(screen.Get(), &area);
        return area;
    }
    area.right = area.left + width;
    area.bottom = area.top + height;
    return area;
}

// A full-screen saver already running is brought to the front instead of
// starting a second one.
static bool ActivateRunningSaver() {
    HWND running = FindWindowA(saverClassName, fullScreenTitle);
    if (!running || !IsWindow(running))
        return false;
    SetForegroundWindow(running);
    return true;
}

int RunSaver(HWND parentWindow) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = hostInstance;
    windowClass.hIcon = LoadIconA(hostInstance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = saverClassName;

    RECT area;
    if (parentWindow) {
        GetClientRect(parentWindow, &area);
        isPreview = true;
    } else {
        area = VirtualScreenRect();
        if (ActivateRunningSaver())
            return 0;
        LoadPasswordVerifier();
    }

    int exitCode = 0;
    if (RegisterClassA(&windowClass)) {
        HWND saverWindow;
        if (parentWindow)
            saverWindow = CreateWindowExA(0, saverClassName, previewTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                          0, area.right - area.left, area.bottom - area.top, parentWindow, nullptr,
                                          hostInstance, nullptr);
        else
            saverWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, saverClassName, fullScreenTitle,
                                          WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left,
                                          area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                          hostInstance, nullptr);
        if (saverWindow) {
            if (!parentWindow)
                SetForegroundWindow(saverWindow);
            // Until the quit message: 0 ends the loop; -1 is a failed call
            // that delivered no message, so there is nothing to dispatch.
            MSG message = {};
            BOOL got;
            while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
                if (got == -1)
                    continue;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    UnloadPasswordVerifier();
    return exitCode;
}

static void DetachInputMethod(HWND window) {
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (!imm)
        return;
    immAssociate = reinterpret_cast<ImmAssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
    if (immAssociate)
        savedInputContext = immAssociate(window, nullptr);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        DetachInputMethod(window);
        GetCursorPos(&initialCursor);
        if (!isPreview)
            SetCursor(nullptr);
        break;
    case WM_DESTROY:
        if (immAssociate && savedInputContext)
            immAssociate(window, savedInputContext);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (isClosing)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!isPreview)
            SetCursor(nullptr);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (isPreview) {
            // Help and context menus belong to the control panel that hosts the preview.
            HWND parent = GetParent(window);
            if (parent && IsWindow(parent))
                PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            return 1;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (isClosing)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (isPreview)
            break;
        switch (DecideSysCommand(wParam)) {
        case SysCommandAction::Swallow:
            return 0;
        case SysCommandAction::CloseAfter:
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        case SysCommandAction::PassOn:
            break;
        }
        break;
    case WM_TIMER:
        if (isClosing)
            return 0;
        // Let other programs run between frames.
        Sleep(0);
        break;
    }
    return SaverWindowProc(window, message, wParam, lParam, DefaultSaverProc);
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isPreview || isClosing)
        return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_CLOSE) {
        if (onWindows9x) {
            // The password dialog takes the mouse capture; after a refusal
            // the saver takes it back, or moves over the display window
            // would no longer reach the close rules.
            const bool hadCapture = GetCapture() == window;
            if (!VerifyPassword(window)) {
                if (hadCapture)
                    SetCapture(window);
                GetCursorPos(&initialCursor);
                return 0;
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_APP) {  // the verify-password request the window sends itself
        if (onWindows9x)
            return VerifyPasswordRequest(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (isCheckingPassword)
        return DefWindowProcA(window, message, wParam, lParam);

    POINT cursor = initialCursor;
    if (message == WM_MOUSEMOVE)
        GetCursorPos(&cursor);
    switch (DecideInput(message, wParam, lParam, initialCursor, cursor)) {
    case InputAction::PassOn:
        break;
    case InputAction::Close:
        if (message == WM_MOUSEMOVE)
            initialCursor = cursor;
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case InputAction::AnswerOne:
        return 1;
    case InputAction::HideCursor:
        SetCursor(nullptr);
        break;
    case InputAction::HideCursorAnswer:
        SetCursor(nullptr);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
