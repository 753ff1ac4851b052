// Process entry of the .scr.
#include "host/CommandLine.h"
#include "host/Host.h"

static const char* NextAnsiChar(const char* text) { return CharNextA(text); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The runtime's own split of the command line is not used: the switch is
    // read from the raw line, after the program name.
    const char* arguments = SkipProgramName(GetCommandLineA(), NextAnsiChar);
    ExitProcess(static_cast<UINT>(HostMain(instance, arguments)));
}
