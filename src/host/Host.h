// The screen-saver host: process entry, the saver window and its message
// loop, the close-on-input rules and the password hooks. Windows only.
#pragma once

#include "platform/ProcessState.h"
#include "platform/WinTypes.h"

// The role the command line chose: one per process.
extern bool isPreview;  // running as the child of a preview window

// The close is the process's end: once the password is accepted, nothing may
// hold it up, whatever window the next message goes to.
extern bool isClosing;           // the close was accepted; everything takes the default path
extern bool isCheckingPassword;  // a password check is in progress

// Exit code of the chosen role.
int HostMain(HINSTANCE instance, const char* arguments);

// Runs the saver in full screen (parent null) or inside a preview window.
int RunSaver(HWND parentWindow);
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The end of every message the engine (engine/Engine.h) is handed: the
// close-on-input rules and the default window behaviour.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Password hooks: active on Windows 9x only.
void SetScreenSaverRunning(BOOL running);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
bool VerifyPassword(HWND window);
// Answer to the verify-password request message (WM_APP) on Windows 9x.
LRESULT VerifyPasswordRequest(HWND window);
void ChangeSaverPassword(HWND ownerWindow);

// Command-line numbers are 32-bit window handles, widened the same way on
// both builds.
inline HWND HandleFromNumber(uint32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }
