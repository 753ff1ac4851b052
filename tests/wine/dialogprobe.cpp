// Looks at dialogs of another process for the options tests. Numbers and
// handles are decimal.
//
//   dialogprobe controls HWND    -> one line per child window, in template order:
//       "id|class|style|exstyle|x|y|width|height|checked|enabled|visible|HWND|text"
//       (rectangle on the screen; text with \\, \r and \n escaped)
//   dialogprobe template FILE ID -> the dialog template ID in the program FILE:
//       "dialog|style|exstyle|x|y|width|height|caption|points|face", then per item
//       "id|class|style|exstyle|x|y|width|height|caption"
//   dialogprobe record FILE ARG... -> writes its arguments to FILE, one a line
//       (stands in for the web browser)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND Window(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(text, nullptr, 10)));
}

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

// Reads a template item's class or caption: a UTF-16 string, or 0xFFFF and
// a number (the predefined classes 0x80 Button ... 0x85 ComboBox).
static const WORD* ReadNameOrNumber(const WORD* at, char* out, size_t size) {
    static const char* const classes[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (*at == 0xFFFF) {
        snprintf(out, size, "%s", at[1] >= 0x80 && at[1] <= 0x85 ? classes[at[1] - 0x80] : "?");
        return at + 2;
    }
    int length = lstrlenW(reinterpret_cast<const WCHAR*>(at));
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(at), length + 1, out,
                        static_cast<int>(size), nullptr, nullptr);
    return at + length + 1;
}

static const BYTE* AlignToDword(const void* at) {
    return reinterpret_cast<const BYTE*>((reinterpret_cast<uintptr_t>(at) + 3) & ~uintptr_t(3));
}

// Prints an extended dialog template (DLGTEMPLATEEX) field by field.
static int PrintTemplate(const char* file, int id) {
    HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)) : nullptr;
    const BYTE* data = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!data || reinterpret_cast<const WORD*>(data)[1] != 0xFFFF)
        return 1;
    DWORD exStyle, style;
    memcpy(&exStyle, data + 8, 4);
    memcpy(&style, data + 12, 4);
    WORD count;
    memcpy(&count, data + 16, 2);
    const short* box = reinterpret_cast<const short*>(data + 18);
    char menu[256], windowClass[256], caption[256], face[256] = "";
    const WORD* at = ReadNameOrNumber(reinterpret_cast<const WORD*>(data + 26), menu, sizeof menu);
    at = ReadNameOrNumber(at, windowClass, sizeof windowClass);
    at = ReadNameOrNumber(at, caption, sizeof caption);
    WORD points = 0;
    if (style & DS_SETFONT) {
        points = at[0];
        at += 3;  // point size, weight, italic and character set
        at = ReadNameOrNumber(at, face, sizeof face);
    }
    printf("dialog|%lu|%lu|%d|%d|%d|%d|%s|%u|%s\n", static_cast<unsigned long>(style),
           static_cast<unsigned long>(exStyle), box[0], box[1], box[2], box[3], caption, points, face);
    const BYTE* item = AlignToDword(at);
    for (WORD i = 0; i < count; ++i) {
        DWORD itemExStyle, itemStyle, itemId;
        memcpy(&itemExStyle, item + 4, 4);
        memcpy(&itemStyle, item + 8, 4);
        const short* rect = reinterpret_cast<const short*>(item + 12);
        memcpy(&itemId, item + 20, 4);
        char itemClass[256], itemCaption[256];
        at = ReadNameOrNumber(reinterpret_cast<const WORD*>(item + 24), itemClass, sizeof itemClass);
        at = ReadNameOrNumber(at, itemCaption, sizeof itemCaption);
        WORD extra = *at++;
        printf("%d|%s|%lu|%lu|%d|%d|%d|%d|%s\n", static_cast<int>(itemId), itemClass,
               static_cast<unsigned long>(itemStyle), static_cast<unsigned long>(itemExStyle),
               rect[0], rect[1], rect[2], rect[3], itemCaption);
        item = AlignToDword(reinterpret_cast<const BYTE*>(at) + extra);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    if (!strcmp(command, "controls") && argc == 3) {
        HWND dialog = Window(argv[2]);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            PrintControl(child);
    } else if (!strcmp(command, "template") && argc == 4) {
        return PrintTemplate(argv[2], atoi(argv[3]));
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
