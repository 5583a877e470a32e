// RAII owners for the Win32 handles the program acquires: kernel handles,
// registry keys, loaded libraries, GDI objects and local memory (sockets:
// platform/socket.h).
// Each closes what it owns in its destructor; release() gives ownership up.
#pragma once

#include <windows.h>

#include <utility>

namespace plat {

template <typename T, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value) : m_value(value) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : m_value(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return m_value; }
    explicit operator bool() const { return Traits::Valid(m_value); }
    // Address for out-parameters; closes what is owned first.
    T* put() {
        reset();
        return &m_value;
    }
    T release() { return std::exchange(m_value, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) {
        if (Traits::Valid(m_value)) Traits::Close(m_value);
        m_value = value;
    }

private:
    T m_value = Traits::Invalid();
};

struct HandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct GdiTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool Valid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct LocalTraits {
    static HLOCAL Invalid() { return nullptr; }
    static bool Valid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};
struct MemDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};

using UniqueHandle = Owned<HANDLE, HandleTraits>;
using FindHandle = Owned<HANDLE, FindTraits>;
using RegKey = Owned<HKEY, KeyTraits>;
using Library = Owned<HMODULE, LibraryTraits>;
using GdiObject = Owned<HGDIOBJ, GdiTraits>;
using LocalMemory = Owned<HLOCAL, LocalTraits>;
using MemoryDc = Owned<HDC, MemDcTraits>;

// Selects an object into a device context for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~SelectGuard() { SelectObject(m_dc, m_old); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace plat
