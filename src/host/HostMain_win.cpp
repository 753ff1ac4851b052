#include "host/Host.h"
#include "host/CommandLine.h"
#include "host/PasswordRules.h"
#include "host/SystemFunction.h"
#include "engine/Settings.h"

#include <commctrl.h>

HINSTANCE hostInstance;
bool onWindows9x;
bool isPreview;

typedef BOOL(WINAPI* HeapSetInformationFunction)(HANDLE, int, void*, SIZE_T);

static void EnableHeapTerminationOnCorruption() {
    auto heapSetInformation = SystemFunction<HeapSetInformationFunction>("KERNEL32.DLL", "HeapSetInformation");
    if (heapSetInformation)
        heapSetInformation(nullptr, 1 /* HeapEnableTerminationOnCorruption */, nullptr, 0);
}

static bool RunningOnWindows9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = GetVersionExA(&version) != 0;
#pragma GCC diagnostic pop
    return IsWindows9xPlatform(known, version.dwPlatformId);
}

// A handle from the command line, or the foreground window when it names none.
static HWND OwnerOrForeground(uint32_t number) {
    HWND owner = HandleFromNumber(number);
    if (!owner || !IsWindow(owner))
        owner = GetForegroundWindow();
    return owner;
}

static int Dispatch(const char* arguments) {
    SaverSwitch command = ReadSaverSwitch(arguments);
    switch (command.role) {
    case SaverRole::NoSwitch:
        return static_cast<int>(RunConfigDialog(nullptr));
    case SaverRole::Configure:
        // "/c" alone or with a dead handle falls back to the foreground window.
        return static_cast<int>(RunConfigDialog(OwnerOrForeground(command.handle)));
    case SaverRole::FullScreen:
        return RunSaver(nullptr);
    case SaverRole::Preview: {
        HWND parent = HandleFromNumber(command.handle);
        if (!parent || !IsWindow(parent))
            return -1;
        return RunSaver(parent);
    }
    case SaverRole::ChangePassword:
        if (!onWindows9x)
            return -1;
        ChangeSaverPassword(OwnerOrForeground(command.handle));
        return 0;
    case SaverRole::Invalid:
        break;
    }
    return -1;
}

// An exception escaping the role goes to the system's unhandled-exception
// filter; when that chooses to handle it, the screen-saver flag is cleared and
// the process ends with -1.
static LONG WINAPI LastChanceFilter(EXCEPTION_POINTERS* exception) {
    SetUnhandledExceptionFilter(nullptr);
    LONG verdict = UnhandledExceptionFilter(exception);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) {
        SetScreenSaverRunning(FALSE);
        ExitProcess(static_cast<UINT>(-1));
    }
    return verdict;
}

int HostMain(HINSTANCE instance, const char* arguments) {
    EnableHeapTerminationOnCorruption();

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);

    hostInstance = instance;
    onWindows9x = RunningOnWindows9x();
    ChooseSettingsFile();

    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(LastChanceFilter);
    int exitCode = Dispatch(arguments);
    SetUnhandledExceptionFilter(previous);
    return exitCode;
}
