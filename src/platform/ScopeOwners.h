// Owners of Win32 resources: each gives its resource back when it goes out of
// scope, so that an early return cannot leak a GDI object, a device context
// or a handle, and the order of the releases follows from the order of the
// declarations (the last declared is released first). Windows only.
//
// No owner can be copied. A HandleOwner adopts the handle a call returned
// and hands it on only through Take(), where something is meant to outlive
// the scope (a bitmap kept for the process). A ComOwner receives its
// reference through Out(); WindowDC, SelectedObject, LockedGlobal and
// ComScope make their call themselves (GetDC, SelectObject, GlobalLock,
// CoInitialize).
#pragma once

#include "platform/WinTypes.h"

#include <objbase.h>

// What "no handle" is for each kind of handle, and how one is given back.
namespace handleKinds {

struct GdiObject {
    static bool Holds(HGDIOBJ object) { return object != nullptr; }
    static void Release(HGDIOBJ object) { DeleteObject(object); }
};

struct MemoryDC {
    static bool Holds(HDC dc) { return dc != nullptr; }
    static void Release(HDC dc) { DeleteDC(dc); }
};

struct RegistryKey {
    static bool Holds(HKEY key) { return key != nullptr; }
    static void Release(HKEY key) { RegCloseKey(key); }
};

struct Library {
    static bool Holds(HMODULE library) { return library != nullptr; }
    static void Release(HMODULE library) { FreeLibrary(library); }
};

struct GlobalMemory {
    static bool Holds(HGLOBAL block) { return block != nullptr; }
    static void Release(HGLOBAL block) { GlobalFree(block); }
};

// FindFirstFileA and CreateFileA fail with INVALID_HANDLE_VALUE, most other
// calls with null: both mean no handle.
struct Find {
    static bool Holds(HANDLE find) { return find != nullptr && find != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE find) { FindClose(find); }
};

struct KernelObject {
    static bool Holds(HANDLE object) { return object != nullptr && object != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE object) { CloseHandle(object); }
};

}  // namespace handleKinds

// One handle whose release needs nothing but the handle. Movable, so that an
// owner can live in a record kept from call to call.
template <typename Handle, typename Kind>
class HandleOwner {
public:
    constexpr HandleOwner() = default;
    explicit HandleOwner(Handle handle) : handle(handle) {}
    HandleOwner(HandleOwner&& other) noexcept : handle(other.Take()) {}
    HandleOwner& operator=(HandleOwner&& other) noexcept {
        if (this != &other)
            Reset(other.Take());
        return *this;
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    ~HandleOwner() { Reset(); }

    Handle Get() const { return handle; }
    explicit operator bool() const { return Kind::Holds(handle); }
    // Hands the handle on unreleased: whoever takes it releases it, or keeps
    // it on purpose.
    [[nodiscard]] Handle Take() {
        const Handle taken = handle;
        handle = nullptr;
        return taken;
    }
    // Releases the handle now, and holds `next` instead.
    void Reset(Handle next = nullptr) {
        if (Kind::Holds(handle))
            Kind::Release(handle);
        handle = next;
    }
    // For a call that returns its handle through a pointer: the handle held
    // is released first.
    Handle* Out() {
        Reset();
        return &handle;
    }

private:
    Handle handle = nullptr;
};

// DeleteObject: pens, brushes, fonts, bitmaps, regions. An object must be
// selected out of every DC before it is deleted: declare its owner before the
// SelectedObject that selects it.
template <typename T>
using GdiObject = HandleOwner<T, handleKinds::GdiObject>;
// DeleteDC: a DC from CreateCompatibleDC.
using MemoryDC = HandleOwner<HDC, handleKinds::MemoryDC>;
// RegCloseKey: a key from RegOpenKeyExA, RegOpenKeyA or RegCreateKeyA.
using RegistryKey = HandleOwner<HKEY, handleKinds::RegistryKey>;
// FreeLibrary: a library from LoadLibraryA.
using LoadedLibrary = HandleOwner<HMODULE, handleKinds::Library>;
// GlobalFree: a block from GlobalAlloc, or one a system call hands over.
using GlobalMemory = HandleOwner<HGLOBAL, handleKinds::GlobalMemory>;
// FindClose: a search from FindFirstFileA.
using FindHandle = HandleOwner<HANDLE, handleKinds::Find>;
// CloseHandle: files, tokens, events and the other kernel objects.
using KernelHandle = HandleOwner<HANDLE, handleKinds::KernelObject>;

// A window's DC from GetDC, given back with ReleaseDC: the DCs of a window
// class without its own DC come from a small shared cache.
class WindowDC {
public:
    // The window's DC; the screen's for a null window.
    explicit WindowDC(HWND window) : window(window), dc(GetDC(window)), owned(true) {}
    // `given` where there is one, which stays the caller's; otherwise the
    // window's own.
    WindowDC(HWND window, HDC given) : window(window), dc(given ? given : GetDC(window)), owned(!given) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (owned && dc)
            ReleaseDC(window, dc);
    }

    HDC Get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HWND window;
    HDC dc;
    bool owned;
};

// An object selected into a DC, and the one it replaced selected back at the
// end: GDI does not delete an object that is still selected, and a DC the
// caller lent comes back as it was. Not for regions, whose selection returns
// no object to put back.
class SelectedObject {
public:
    constexpr SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    SelectedObject(SelectedObject&& other) noexcept : dc(other.dc), previous(other.previous) {
        other.previous = nullptr;
    }
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        if (this != &other) {
            Reset();
            dc = other.dc;
            previous = other.previous;
            other.previous = nullptr;
        }
        return *this;
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { Reset(); }

    // False when the selection failed: there is nothing to put back then.
    explicit operator bool() const { return previous != nullptr; }
    // Selects the replaced object back now.
    void Reset() {
        if (previous)
            SelectObject(dc, previous);
        previous = nullptr;
    }

private:
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};

// A global block locked for a scope; its owner (GlobalMemory) must be declared
// first, so that the block is unlocked before it is freed.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block(block), pointer(GlobalLock(block)) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (pointer)
            GlobalUnlock(block);
    }

    // The block's first byte; null when it could not be locked.
    void* Get() const { return pointer; }

private:
    HGLOBAL block;
    void* pointer;
};

// One reference to a COM object, given back with Release.
template <typename T>
class ComOwner {
public:
    ComOwner() = default;
    ComOwner(const ComOwner&) = delete;
    ComOwner& operator=(const ComOwner&) = delete;
    ~ComOwner() { Reset(); }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    void Reset() {
        if (object)
            object->Release();
        object = nullptr;
    }
    // For the calls that hand out a reference through a pointer (creation,
    // QueryInterface): the reference held is released first.
    T** Out() {
        Reset();
        return &object;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

private:
    T* object = nullptr;
};

// CoInitialize for a scope, balanced by CoUninitialize only when it succeeded
// (S_FALSE, already initialised on this thread, counts and is balanced too).
// Declared before the scope's ComOwners, so that they are released while COM
// is still initialised.
class ComScope {
public:
    ComScope() : result(CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result))
            CoUninitialize();
    }

private:
    HRESULT result;
};
