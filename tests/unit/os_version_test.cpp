// The real version query under the Windows versions Wine can report to a
// program (HKCU\Software\Wine\AppDefaults\<exe>\Version).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {
const wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\oscode_probe.exe";

std::wstring ProbePath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + L"oscode_probe.exe";
}

DWORD RunProbeAs(const wchar_t* version) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kAppKey, L"Version", REG_SZ, version,
                    static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    std::wstring cmd = L"\"" + ProbePath() + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}
}  // namespace

TEST(OsVersionUnderWine, ReportedVersionsGiveTheirCodes) {
    struct {
        const wchar_t* version;
        DWORD code;
    } rows[] = {
        {L"winxp64", 14}, {L"win2003", 8}, {L"vista", 9}, {L"win2008", 10}, {L"win8", 15},
        {L"win81", 17},   {L"win10", 19},
        // Wine 8.0's version table has the records of these two swapped:
        // "win7" reports 6.1 server (Server 2008 R2), "win2008r2" 6.1
        // workstation (Windows 7).
        {L"win7", 13},    {L"win2008r2", 11},
    };
    for (const auto& r : rows) EXPECT_EQ(RunProbeAs(r.version), r.code) << r.version;
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
}
