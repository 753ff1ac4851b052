// Looks at dialogs of another process for the options tests. Numbers and
// handles are decimal.
//
//   dialogprobe controls HWND    -> one line per child window, in template order:
//       "id|class|style|exstyle|x|y|width|height|checked|enabled|visible|HWND|text"
//       (rectangle on the screen; text with \\, \r and \n escaped)
//   dialogprobe record FILE ARG... -> writes its arguments to FILE, one a line
//       (stands in for the web browser)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Backslashes, carriage returns and line feeds written as \\, \r and \n,
// so that every control stays on one line.
static void PrintEscaped(const char* text) {
    for (; *text; ++text) {
        if (const char* escape = *text == '\\' ? "\\\\" : *text == '\r' ? "\\r" : *text == '\n' ? "\\n" : nullptr)
            fputs(escape, stdout);
        else
            putchar(*text);
    }
    putchar('\n');
}

static void PrintControl(HWND control) {
    char className[256] = {}, text[1024] = {};
    GetClassNameA(control, className, sizeof className);
    // GetWindowText does not ask another process's edits for their text.
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    RECT area;
    GetWindowRect(control, &area);
    // Buttons answer BM_GETCHECK; anything else answers 0.
    LRESULT checked = _stricmp(className, "Button") == 0 ? SendMessageA(control, BM_GETCHECK, 0, 0) : 0;
    printf("%d|%s|%lu|%lu|%ld|%ld|%ld|%ld|%ld|%d|%d|%lu|", static_cast<short>(GetDlgCtrlID(control)),
           className, static_cast<unsigned long>(GetWindowLongA(control, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongA(control, GWL_EXSTYLE)), area.left, area.top,
           area.right - area.left, area.bottom - area.top, static_cast<long>(checked),
           IsWindowEnabled(control) ? 1 : 0, IsWindowVisible(control) ? 1 : 0,
           static_cast<unsigned long>(reinterpret_cast<uintptr_t>(control)));
    PrintEscaped(text);
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    if (!strcmp(command, "controls") && argc == 3) {
        HWND dialog = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(argv[2], nullptr, 10)));
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            PrintControl(child);
    } else if (!strcmp(command, "record") && argc >= 3) {
        FILE* out = fopen(argv[2], "w");
        if (!out)
            return 1;
        for (int i = 3; i < argc; ++i)
            fprintf(out, "%s\n", argv[i]);
        fclose(out);
    } else {
        return 2;
    }
    return 0;
}
