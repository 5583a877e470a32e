#include "platform/system.h"

#include <atomic>
#include <vector>

#include "platform/handles.h"

namespace plat {

namespace {
System g_realSystem;
std::atomic<System*> g_system{nullptr};
}  // namespace

System& Sys() {
    System* s = g_system.load();
    return s ? *s : g_realSystem;
}

void SetSystemForTest(System* system) { g_system.store(system); }

OsVersion System::GetVersion() {
    OsVersion v;
    OSVERSIONINFOEXW ex = {};
    ex.dwOSVersionInfoSize = sizeof(ex);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex))) {
        v.extendedOk = v.basicOk = true;
        v.platformId = ex.dwPlatformId;
        v.major = ex.dwMajorVersion;
        v.minor = ex.dwMinorVersion;
        v.productType = ex.wProductType;
    } else {
        OSVERSIONINFOW basic = {};
        basic.dwOSVersionInfoSize = sizeof(basic);
        if (GetVersionExW(&basic)) {
            v.basicOk = true;
            v.platformId = basic.dwPlatformId;
            v.major = basic.dwMajorVersion;
            v.minor = basic.dwMinorVersion;
        }
    }
    v.serverR2 = GetSystemMetrics(SM_SERVERR2);
    return v;
}

bool System::GetBasicVersion(OSVERSIONINFOW& info) {
    info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExW(&info) != FALSE;
}

bool System::TokenHasAdministrators() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenGroups, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<BYTE> buffer(size + 2);
    if (!GetTokenInformation(token.get(), TokenGroups, buffer.data(), size + 2, &size)) return false;

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &admins))
        return false;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    bool found = false;
    for (DWORD i = 0; i < groups->GroupCount && !found; ++i)
        found = EqualSid(groups->Groups[i].Sid, admins) != FALSE;
    FreeSid(admins);
    return found;
}

bool System::GetFreeBytes(const wchar_t* root, ULONGLONG& freeBytes) {
    ULARGE_INTEGER avail = {}, total = {}, totalFree = {};
    if (!GetDiskFreeSpaceExW(root, &avail, &total, &totalFree)) return false;
    freeBytes = totalFree.QuadPart;
    return true;
}

void System::Sleep(DWORD ms) { ::Sleep(ms); }

int System::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    return ::MessageBoxW(owner, text, caption, style);
}

ULONGLONG System::TickCount() { return GetTickCount64(); }

}  // namespace plat
