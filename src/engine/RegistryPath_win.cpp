#include "engine/RegistryPath.h"

#include "platform/ScopeOwners.h"

#include <cstdio>
#include <cstring>

char registryTextBuffer[registryPathSize];

static HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
        return HKEY_USERS;
    case RegistryRoot::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case RegistryRoot::None:
        break;
    }
    // No root: every call below fails on the null handle.
    return nullptr;
}

static bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Applies the `expand` rules to a value of `type` that the registry put into
// `target` (`bytes` of it, `capacity` available).
static void ExpandValue(char* target, DWORD capacity, DWORD type, DWORD bytes) {
    switch (type) {
    case REG_EXPAND_SZ: {
        char value[registryPathSize];
        snprintf(value, sizeof value, "%s", target);
        DWORD limit = capacity < registryPathSize ? capacity : static_cast<DWORD>(registryPathSize);
        // Too long an expansion leaves the buffer undefined; keep it a string.
        if (ExpandEnvironmentStringsA(value, target, limit) > limit)
            target[limit - 1] = '\0';
        break;
    }
    case REG_BINARY:
        target[0] = '\0';
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        // Little-endian whatever the type says; a shorter value counts its
        // missing bytes as zero.
        unsigned char raw[4] = {0, 0, 0, 0};
        memcpy(raw, target, bytes < 4 ? bytes : 4);
        uint32_t word = raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<uint32_t>(raw[3]) << 24;
        snprintf(target, capacity, "%ld", static_cast<long>(static_cast<int32_t>(word)));
        break;
    }
    default:
        break;
    }
}

char* ReadRegistryPath(const char* path, char* buffer, bool expand, DWORD* size) {
    DWORD capacity = RegistryBufferCapacity(size);
    char* target = buffer;
    if (!target) {
        target = registryTextBuffer;
        // Our own buffer is never larger than it is, whatever the caller said.
        if (capacity > registryPathSize)
            capacity = registryPathSize;
    }
    if (size)
        *size = 0;

    RegistryPath parsed;
    if (!ParseRegistryPath(path, &parsed))
        return nullptr;

    HKEY opened = nullptr;
    if (RegOpenKeyExA(RootKey(parsed.root), parsed.subkey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return nullptr;
    const RegistryKey key(opened);
    DWORD type = REG_SZ;
    DWORD bytes = capacity;
    LONG status =
        RegQueryValueExA(key.Get(), parsed.valueName, nullptr, &type, reinterpret_cast<BYTE*>(target), &bytes);
    if (status != ERROR_SUCCESS)
        return nullptr;

    // Strings stored without their NUL come back without it; end them here
    // so no caller reads past the value (a full buffer loses its last byte).
    if (IsStringType(type)) {
        if (bytes < capacity)
            target[bytes] = '\0';
        else if (bytes > 0 && target[bytes - 1] != '\0')
            target[bytes - 1] = '\0';
    }
    if (size)
        *size = bytes;
    if (expand)
        ExpandValue(target, capacity, type, bytes);
    return target;
}

int WriteRegistryPath(const char* path, const void* data, DWORD type, DWORD size) {
    RegistryPath parsed;
    if (!ParseRegistryPath(path, &parsed))
        return 0;
    HKEY root = RootKey(parsed.root);

    RegistryKey key;
    LONG status;
    if (data) {
        DWORD bytes = size;
        if (type == REG_SZ)
            bytes = static_cast<DWORD>(strlen(static_cast<const char*>(data)) + 1);
        else if (type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN)
            bytes = 4;
        RegCreateKeyA(root, parsed.subkey, key.Out());
        status = RegSetValueExA(key.Get(), parsed.valueName, 0, type, static_cast<const BYTE*>(data), bytes);
    } else if (parsed.valueName[0]) {
        RegOpenKeyA(root, parsed.subkey, key.Out());
        status = RegDeleteValueA(key.Get(), parsed.valueName);
    } else {
        status = RegDeleteKeyA(root, parsed.subkey);
    }
    return status == ERROR_SUCCESS ? 1 : 0;
}
