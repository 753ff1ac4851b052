// Counts the running full-screen saver's system objects from the outside, for
// the soak test. Prints one line:
//   "gdi-table N windows N"
//   gdi-table  live entries of the saver's GDI handle table, read from its
//              memory (the table its PEB points at): the GDI objects it holds.
//              Wine's GetGuiResources and GetProcessHandleCount answer 0.
//   windows    the saver's windows, top-level and children
// or "none" when no saver runs. A value that cannot be read prints as -1.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace {

// One entry of the GDI handle table; an entry is in use when its type is set.
struct GdiEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
const size_t gdiEntries = 0x10000;
const size_t pebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

long CountGdiTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + pebGdiTableOffset, &table,
                           sizeof table, &read) ||
        !table)
        return -1;
    std::vector<GdiEntry> entries(gdiEntries);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &read))
        return -1;
    long live = 0;
    for (const GdiEntry& entry : entries)
        if (entry.type != 0)
            live++;
    return live;
}

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM data) {
    auto* windows = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId)
        windows->count++;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    CountChild(window, data);
    EnumChildWindows(window, CountChild, data);
    return TRUE;
}

}  // namespace

int main() {
    HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr);
    DWORD processId = 0;
    if (saver)
        GetWindowThreadProcessId(saver, &processId);
    HANDLE process = processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId) : nullptr;
    if (!process) {
        puts("none");
        return 1;
    }
    WindowCount windows{processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    printf("gdi-table %ld windows %ld\n", CountGdiTable(process), windows.count);
    CloseHandle(process);
    return 0;
}
