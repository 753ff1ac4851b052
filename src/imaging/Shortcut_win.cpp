#include "imaging/Shortcut.h"

#include "platform/ScopeOwners.h"
#include "platform/WinTypes.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstring>

void ResolveShortcut(char* path) {
    if (!path)
        return;
    const ComScope com;
    ComOwner<IShellLinkA> link;
    ComOwner<IPersistFile> file;
    wchar_t widePath[MAX_PATH];
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) &&
        MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) && SUCCEEDED(file->Load(widePath, STGM_READ))) {
        char target[MAX_PATH] = {};
        WIN32_FIND_DATAA data;
        // The imagery path holds 255 characters: a longer target is ignored.
        if (link->GetPath(target, MAX_PATH, &data, 0) == S_OK && target[0] && std::strlen(target) < 256)
            std::strcpy(path, target);
    }
}
