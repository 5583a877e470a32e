#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"

#include <shlobj.h>

#include <cstdlib>

namespace e2e {

namespace {
std::wstring Env(const wchar_t* name) {
    wchar_t buf[2048] = {};
    GetEnvironmentVariableW(name, buf, 2048);
    return buf;
}
}  // namespace

std::wstring ProgramExe() { return Env(L"DRV_INST_EXE"); }
std::wstring ProductSetupFolder() { return Env(L"DRV_PRODUCT_SETUP"); }
std::wstring DemoSetupFolder() { return Env(L"DRV_DEMO_SETUP"); }

TempFolder::TempFolder(const std::wstring& path) {
    if (!path.empty()) {
        m_path = path;
    } else {
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        static int counter = 0;
        m_path = std::wstring(tmp) + L"drvsetup-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
    }
    testsupport::RemoveTree(m_path);
    MakeFolders(m_path);
}

TempFolder::~TempFolder() { testsupport::RemoveTree(m_path); }

bool CopyInto(const std::wstring& file, const std::wstring& folder) {
    size_t pos = file.find_last_of(L"\\/");
    std::wstring name = pos == std::wstring::npos ? file : file.substr(pos + 1);
    return CopyFileW(file.c_str(), (folder + L"\\" + name).c_str(), FALSE) != FALSE;
}

void MakeFolders(const std::wstring& path) { SHCreateDirectoryExW(nullptr, path.c_str(), nullptr); }

}  // namespace e2e
