// Seam over the few system facts and calls that tests must be able to
// choose or observe: the Windows version, the process token's groups, free
// disk space, time and sleeping, and message boxes (Wine draws every box
// left to right, so their right-to-left styles can only be seen here). Production code calls Sys(); tests install
// their own System with SetSystemForTest and get the real one back with
// SetSystemForTest(nullptr).
#pragma once

#include <windows.h>

namespace plat {

struct OsVersion {
    bool extendedOk = false;  // GetVersionExW with OSVERSIONINFOEXW succeeded
    bool basicOk = false;     // GetVersionExW with OSVERSIONINFOW succeeded
    DWORD platformId = 0;
    DWORD major = 0;
    DWORD minor = 0;
    BYTE productType = 0;     // valid only when extendedOk
    int serverR2 = 0;         // GetSystemMetrics(SM_SERVERR2)
};

class System {
public:
    virtual ~System() = default;

    // Extended query first, basic query as fallback.
    virtual OsVersion GetVersion();
    // Basic GetVersionExW only (the start checks read the platform with it).
    virtual bool GetBasicVersion(OSVERSIONINFOW& info);
    // True when the process token's groups hold the built-in Administrators
    // SID (attributes not examined).
    virtual bool TokenHasAdministrators();
    // GetDiskFreeSpaceExW: total free bytes of `root`. False when it fails.
    virtual bool GetFreeBytes(const wchar_t* root, ULONGLONG& freeBytes);
    virtual void Sleep(DWORD ms);
    // MessageBoxW (not named MessageBox: windows.h makes that a macro). Every
    // message box of the program goes through here.
    virtual int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
    virtual ULONGLONG TickCount();
};

System& Sys();
void SetSystemForTest(System* system);

}  // namespace plat
