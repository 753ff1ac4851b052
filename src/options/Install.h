// Installing the saver as the user's system screen saver. Windows only.
#pragma once

#include "options/InstallRules.h"
#include "platform/WinTypes.h"

// Asks, then copies VelorinScreenSaver.scr from the data folder into the
// system folder (Yes) or keeps it where it is (No), and registers the file's
// short path as the user's screen saver. Every outcome is shown to the user
// in a message box owned by `owner`; Cancel changes nothing.
void InstallAsSystemSaver(HWND owner);

// The folder the system starts this saver's copies from: the system folder,
// or SysWOW64 for the 32-bit saver on 64-bit Windows. False when the system
// names none that fits.
bool SaverSystemFolder(char (&folder)[installPathSize]);

// Whether `folder` is the system folder: the saver is installed already
// when it runs from there. Under WOW64 both System32 and SysWOW64 count.
bool IsSystemFolder(const char* folder);
