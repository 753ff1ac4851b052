#include "options/OptionsDialog.h"

#include "effects/Banner.h"
#include "engine/Content.h"
#include "engine/Settings.h"
#include "options/Install.h"
#include "options/InstallRules.h"
#include "options/OptionsRules.h"
#include "platform/ProcessState.h"

#include "resource.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

// The banner's turn in degrees: one step less every tick. Process-wide, so a
// dialog opened again in the same process carries on where the last stopped.
static int32_t bannerStep;

static const UINT_PTR bannerTimer = 1;
static const UINT bannerTickMs = 100;

static bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

static void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

static void EnableEffects(HWND dialog, bool enabled) {
    static const int effects[] = {IDC_ROTATION_2D, IDC_ROTATION_3D, IDC_FADE, IDC_REWIND};
    for (int id : effects)
        EnableWindow(GetDlgItem(dialog, id), enabled);
}

static void ShowChoices(HWND dialog, const OptionsChoices& c) {
    Check(dialog, IDC_FULL_SCREEN, c.fullScreen);
    Check(dialog, IDC_BOUNCE, c.bounce);
    Check(dialog, IDC_CENTRED, c.centred);
    Check(dialog, IDC_IMAGERY, c.imagery);
    Check(dialog, IDC_TEXT_MODE, c.text);
    Check(dialog, IDC_REWIND, c.rewind);
    Check(dialog, IDC_FADE, c.fade);
    Check(dialog, IDC_ROTATION_2D, c.rotation2D);
    Check(dialog, IDC_ROTATION_3D, c.rotation3D);
}

static OptionsChoices ReadChoices(HWND dialog) {
    OptionsChoices c{};
    c.fullScreen = IsChecked(dialog, IDC_FULL_SCREEN);
    c.centred = IsChecked(dialog, IDC_CENTRED);
    c.bounce = IsChecked(dialog, IDC_BOUNCE);
    c.imagery = IsChecked(dialog, IDC_IMAGERY);
    c.text = IsChecked(dialog, IDC_TEXT_MODE);
    c.rewind = IsChecked(dialog, IDC_REWIND);
    c.fade = IsChecked(dialog, IDC_FADE);
    c.rotation2D = IsChecked(dialog, IDC_ROTATION_2D);
    c.rotation3D = IsChecked(dialog, IDC_ROTATION_3D);
    return c;
}

// Tells the dialog that a mode radio button was clicked, so the enabling
// rule runs as if the user had clicked it.
static void SendModeClicked(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

static void SelectMode(HWND dialog, int selected, int other) {
    Check(dialog, other, false);
    Check(dialog, selected, true);
    SendModeClicked(dialog, selected);
}

static BOOL OnInitDialog(HWND dialog, SaverSettings& settings) {
    EnterDataFolder("<VelorinTools>");
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    if (IsSystemFolder(current))
        ShowWindow(GetDlgItem(dialog, IDC_INSTALL), SW_HIDE);

    LoadSettings(settings);
    // The fields hold 255 characters; the user may type no more.
    SendDlgItemMessageA(dialog, IDC_FILE, EM_LIMITTEXT, settingTextSize - 1, 0);
    SendDlgItemMessageA(dialog, IDC_TEXT, EM_LIMITTEXT, settingTextSize - 1, 0);
    // The edits first: filling the text edit selects Text (its handler runs
    // on every notification); the buttons below are then set from the settings.
    SetDlgItemTextA(dialog, IDC_FILE, settings.file);
    SetDlgItemTextA(dialog, IDC_TEXT, settings.text);
    ShowChoices(dialog, ChoicesFromSettings(settings));
    EnableEffects(dialog, EffectsEnabled(ContentOf(settings.mode) == Content::imagery));

    SetTimer(dialog, bannerTimer, bannerTickMs, nullptr);
    return TRUE;
}

// Windows 98, ME and NT 4 refuse the file dialog's request with the fields
// Windows 2000 added: they get the request as they know it.
static DWORD FileDialogRequestSize() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = GetVersionExA(&version) != 0;
#pragma GCC diagnostic pop
    return known && version.dwMajorVersion >= 5 ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
}

static void OnBrowse(HWND dialog, SaverSettings& settings) {
    char shown[settingTextSize] = {};
    GetDlgItemTextA(dialog, IDC_FILE, shown, sizeof shown);
    BrowseStartName(shown, settings.file);

    OPENFILENAMEA request = {};
    request.lStructSize = FileDialogRequestSize();
    request.hwndOwner = dialog;
    // Every kind the saver shows: movies first, as the one filter.
    request.lpstrFilter =
        "Imagery Files (*.avi,*.mp4,*.m4v,*.mov,*.wmv,*.bmp,*.jpg,*.jpeg,*.png,*.gif,*.tif)\0"
        "*.avi;*.mp4;*.m4v;*.mov;*.wmv;*.bmp;*.jpg;*.jpeg;*.png;*.gif;*.tif\0";
    request.lpstrFile = settings.file;
    request.nMaxFile = sizeof settings.file;
    request.lpstrTitle = "Select Imagery File";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    BOOL chosen = GetOpenFileNameA(&request);
    // A typed name the file dialog cannot start from (a bad character, a
    // path too long) would fail before showing anything: start it empty.
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        settings.file[0] = '\0';
        chosen = GetOpenFileNameA(&request);
    }
    if (!chosen)
        return;
    SetDlgItemTextA(dialog, IDC_FILE, settings.file);
    SelectMode(dialog, IDC_IMAGERY, IDC_TEXT_MODE);
}

static void OnOk(HWND dialog, WPARAM wParam, SaverSettings& settings) {
    GetDlgItemTextA(dialog, IDC_FILE, settings.file, sizeof settings.file);
    GetDlgItemTextA(dialog, IDC_TEXT, settings.text, sizeof settings.text);
    StoreChoices(ReadChoices(dialog), &settings);
    [[maybe_unused]] const bool saved = SaveSettings(settings, false);
#ifdef _WIN64
    // A 64-bit program's writes are never virtualised: a settings file the
    // user may not write is named, and the dialog stays open. The 32-bit
    // saver keeps its long-standing silence (its writes are virtualised).
    if (!saved) {
        char path[folderPathSize];
        SettingsFilePath(path);
        char message[folderPathSize + 64];
        snprintf(message, sizeof message, "The settings could not be saved to %s.", path);
        MessageBoxA(dialog, message, SAVER_PRODUCT_NAME, MB_OK | MB_ICONERROR);
        return;
    }
#endif
    EndDialog(dialog, static_cast<INT_PTR>(wParam));
}

static void OnCommand(HWND dialog, WPARAM wParam, SaverSettings& settings) {
    switch (LOWORD(wParam)) {
    case IDC_IMAGERY:
    case IDC_TEXT_MODE:
        EnableEffects(dialog, EffectsEnabled(IsChecked(dialog, IDC_IMAGERY)));
        break;
    case IDC_TEXT:
        // Any notification: typing, a click into it, or the program's own
        // change while opening.
        SelectMode(dialog, IDC_TEXT_MODE, IDC_IMAGERY);
        break;
    case IDC_BROWSE:
        OnBrowse(dialog, settings);
        break;
    case IDC_WEB_SITE:
        ShellExecuteA(dialog, "open", WEB_SITE_ADDRESS, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDC_INSTALL:
        InstallAsSystemSaver(dialog);
        break;
    case IDOK:
        OnOk(dialog, wParam, settings);
        break;
    case IDCANCEL:
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        break;
    }
}

static void OnBannerTick(HWND dialog) {
    // Counted down in unsigned arithmetic: after 2^31 ticks it wraps instead
    // of overflowing.
    bannerStep = static_cast<int32_t>(static_cast<uint32_t>(bannerStep) - 1u);
    DrawBanner(GetDlgItem(dialog, IDC_BANNER), nullptr, bannerStep, 0, nullptr);
}

// The dialog's settings record is RunConfigDialog's; the dialog keeps its
// address from WM_INITDIALOG on.
static INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return OnInitDialog(dialog, *reinterpret_cast<SaverSettings*>(lParam));
    }
    auto* settings = reinterpret_cast<SaverSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!settings)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, wParam, *settings);
        return TRUE;
    case WM_TIMER:
        OnBannerTick(dialog);
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunConfigDialog(HWND ownerWindow) {
    SaverSettings settings = {};
    return DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_OPTIONS), ownerWindow, OptionsDialogProc,
                           reinterpret_cast<LPARAM>(&settings));
}
