// Stands in for the Windows 9x password libraries the saver loads at run
// time: built as PASSWORD.CPL (VerifyScreenSavePwd) and as MPR.DLL
// (PwdChangePasswordA). Each logs what happens to it into "<its file
// name>.log" beside it; the verifier answers from "password-answer.txt" there:
// "1" accepts, "0" refuses, "0 post" refuses and queues one more close request
// while the check is still running.
#include <windows.h>

#include <cstdio>
#include <cstring>

static char logPath[MAX_PATH + 8];
static char answerPath[MAX_PATH + 32];

static void Log(const char* line) {
    if (FILE* log = std::fopen(logPath, "a")) {
        std::fprintf(log, "%s\n", line);
        std::fclose(log);
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(instance, path, MAX_PATH);
        std::snprintf(logPath, sizeof logPath, "%s.log", path);
        if (char* slash = std::strrchr(path, '\\'))
            slash[1] = '\0';
        std::snprintf(answerPath, sizeof answerPath, "%spassword-answer.txt", path);
        Log("attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        // A null reserved pointer: FreeLibrary; otherwise the process is ending.
        Log(reserved ? "detach at exit" : "detach freed");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char answer[16] = "0";
    if (FILE* file = std::fopen(answerPath, "r")) {
        if (!std::fgets(answer, sizeof answer, file))
            answer[0] = '0';
        std::fclose(file);
    }
    char line[64];
    std::snprintf(line, sizeof line, "verify %llu", (unsigned long long)(ULONG_PTR)window);
    Log(line);
    if (std::strstr(answer, "post"))
        PostMessageA(window, WM_CLOSE, 0, 0);
    // The system's password dialog takes the mouse capture away.
    ReleaseCapture();
    return answer[0] == '1';
}

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved) {
    char line[128];
    std::snprintf(line, sizeof line, "change %s %llu %lu %llu", provider ? provider : "(null)",
                  (unsigned long long)(ULONG_PTR)owner, flags, (unsigned long long)(ULONG_PTR)reserved);
    Log(line);
    return 0;
}
