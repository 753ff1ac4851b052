// Makes a shell shortcut for the tests: makelink <shortcut.lnk> <target>.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH];
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result))
        result = link->SetPath(argv[2]);
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result) && MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH))
        result = file->Save(path, TRUE);
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    std::printf("%s\n", SUCCEEDED(result) ? "made" : "failed");
    return SUCCEEDED(result) ? 0 : 1;
}
