// The options dialog: the settings, the install button and the animated
// banner. Windows only.
#pragma once

#include "platform/WinTypes.h"

// Shows the dialog (resource 2003) owned by `ownerWindow` and returns what
// DialogBoxParamA returns.
INT_PTR RunConfigDialog(HWND ownerWindow);
