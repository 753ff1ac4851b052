// The screen-saver host: process entry, the saver window and its message
// loop, the close-on-input rules and the password hooks. Windows only.
#pragma once

#include "WinTypes.h"
#include "host/ProcessState.h"

// Exit code of the chosen role.
int HostMain(HINSTANCE instance, const char* arguments);

// Runs the saver in full screen (parent null) or inside a preview window.
int RunSaver(HWND parentWindow);
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The options dialog (resource 2003); returns what DialogBoxParamA returns.
INT_PTR RunConfigDialog(HWND ownerWindow);

// Password hooks: active on Windows 9x only.
void SetScreenSaverRunning(BOOL running);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
bool VerifyPassword(HWND window);
// Answer to the verify-password request message (WM_APP) on Windows 9x.
LRESULT VerifyPasswordRequest(HWND window);
void ChangeSaverPassword(HWND ownerWindow);

// The engine's window procedure; every message ends in DefaultSaverProc.
LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command-line numbers are 32-bit window handles, widened the same way on
// both builds.
inline HWND HandleFromNumber(uint32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }
