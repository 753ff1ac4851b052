#include "host/Host.h"

#include "engine/Settings.h"
#include "host/CommandLine.h"
#include "host/PasswordRules.h"
#include "options/OptionsDialog.h"
#include "platform/Processor.h"
#include "platform/SystemFunction.h"

#include <commctrl.h>

bool isPreview;

typedef BOOL(WINAPI* HeapSetInformationFunction)(HANDLE, int, void*, SIZE_T);
typedef BOOL(WINAPI* InitCommonControlsExFunction)(const INITCOMMONCONTROLSEX*);

static void EnableHeapTerminationOnCorruption() {
    auto heapSetInformation = SystemFunction<HeapSetInformationFunction>("KERNEL32.DLL", "HeapSetInformation");
    if (heapSetInformation)
        heapSetInformation(nullptr, 1 /* HeapEnableTerminationOnCorruption */, nullptr, 0);
}

// COMCTL32 4.00 (NT 4, Windows 95 without IE 3) has only InitCommonControls,
// which registers every class the dialog needs, the tab control among them.
static void InitTabControls() {
    auto initEx = SystemFunction<InitCommonControlsExFunction>("COMCTL32.DLL", "InitCommonControlsEx");
    if (!initEx) {
        InitCommonControls();
        return;
    }
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_TAB_CLASSES;
    initEx(&controls);
}

// Null fields where the version is unknown.
static OSVERSIONINFOA SystemVersion(bool& known) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    known = GetVersionExA(&version) != 0;
#pragma GCC diagnostic pop
    return version;
}

// Windows 98 (4.10) and 2000 (5.0) were the first to save the SSE registers
// across task switches; Windows 95 and NT 4 (4.0) do not.
static bool SavesSseRegisters(const OSVERSIONINFOA& version) {
    return version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 10);
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
    UseDoublePrecision();
    EnableHeapTerminationOnCorruption();

    InitTabControls();

    hostInstance = instance;
    bool versionKnown;
    const OSVERSIONINFOA version = SystemVersion(versionKnown);
    onWindows9x = IsWindows9xPlatform(versionKnown, version.dwPlatformId);
    if (!SavesSseRegisters(version))
        SetSse2Allowed(false);
    ChooseSettingsFile();

    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(LastChanceFilter);
    int exitCode = Dispatch(arguments);
    SetUnhandledExceptionFilter(previous);
    return exitCode;
}
