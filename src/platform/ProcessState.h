// What the whole process shares. Everything a saver window shows and times
// lives in that window's own record (SaverWindowProc_win.cpp); what is
// process-wide either belongs to the process itself or must be the same for
// every window and dialog in it, and is declared in the room that owns it:
// here the module and the platform family, which the entry sets and the
// rooms above read; the role's flags in host/Host.h; the settings file in
// engine/Settings.h; the registry result buffer in engine/RegistryPath.h.
// Each is zero (or its stated value) at start. A few files keep private
// statics of the same kind, each with its reason: the banner bitmap, the
// options dialog's banner step, the host window's cursor and input-method
// state, the password verifier. Windows only.
#pragma once

#include "platform/WinTypes.h"

// The module, for resources and window classes; set once by the entry.
extern HINSTANCE hostInstance;

// Read once at start; the password rules differ on Windows 9x.
extern bool onWindows9x;  // GetVersionExA reports VER_PLATFORM_WIN32_WINDOWS
