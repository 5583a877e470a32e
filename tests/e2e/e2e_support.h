// Lays out setup folders with the real program for end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The built drvinst64.exe and the demo product's setup folder (from the
// DRV_INST_EXE and DRV_PRODUCT_SETUP environment variables).
std::wstring ProgramExe();
std::wstring ProductSetupFolder();
// The whole demo setup folder laid out with the built programs and
// components (DRV_DEMO_SETUP).
std::wstring DemoSetupFolder();

// A new empty folder below the temporary folder (or at `path` when given),
// removed with everything in it when the object ends.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& path = L"");
    ~TempFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool CopyInto(const std::wstring& file, const std::wstring& folder);
// Creates every folder of `path`.
void MakeFolders(const std::wstring& path);

}  // namespace e2e
