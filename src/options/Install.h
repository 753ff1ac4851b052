// Installing the saver as the user's system screen saver. Windows only.
#pragma once

#include "WinTypes.h"

// Asks, then copies VelorinScreenSaver.scr from the data folder into the
// system folder (Yes) or keeps it where it is (No), and registers the file's
// short path as the user's screen saver. Every outcome is shown to the user
// in a message box owned by `owner`; Cancel changes nothing.
void InstallAsSystemSaver(HWND owner);
