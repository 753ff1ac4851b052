#include "platform/ProcessState.h"

HINSTANCE hostInstance;
bool onWindows9x;
