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
#include <utility>
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
const size_t pebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

long CountGdiTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    void* table = nullptr;
    std::vector<GdiEntry> entries(0x10000);
    SIZE_T read = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + pebGdiTableOffset, &table,
                           sizeof table, &read) ||
        !table || !ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &read))
        return -1;
    long live = 0;
    for (const GdiEntry& entry : entries)
        live += entry.type != 0;
    return live;
}

// Counts the windows of a process, its id first in the pair.
BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<std::pair<DWORD, long>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    count->second += owner == count->first;
    return TRUE;
}

}  // namespace

int main() {
    DWORD processId = 0;
    if (HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr))
        GetWindowThreadProcessId(saver, &processId);
    HANDLE process = processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId) : nullptr;
    if (!process) {
        puts("none");
        return 1;
    }
    // The desktop's children and every window below them: all windows, top-level and children.
    std::pair<DWORD, long> windows{processId, 0};
    EnumChildWindows(GetDesktopWindow(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    printf("gdi-table %ld windows %ld\n", CountGdiTable(process), windows.second);
    CloseHandle(process);
    return 0;
}
