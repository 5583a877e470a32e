// The registry records the installer leaves behind, observed in the test
// prefix's registry: the product keys (with the 32-bit view's copy), the
// uninstall entry and the update-tool record.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/support/test_files.h"
#include "uninstall/product_records.h"

namespace {

const char kDocument[] = R"(<?xml version="1.0" encoding="utf-8"?>
<SERTUP_INFO>
  <KEYTYPE>
    <Typename ID="DrvTestH9 Printer">MFP</Typename>
  </KEYTYPE>
  <CreateFolder>
    <Folder><Dir>\DrvTestH9</Dir><Dir>\K Series</Dir></Folder>
    <uisname>Uninstall</uisname>
    <uisexe>DrvTestH9Setup\%Systembit%\uninst.exe</uisexe>
    <iconname>\DrvTestH9\K Series\Uninstall\k.ico</iconname>
  </CreateFolder>
  <manufacturer>
    <Company>Tavrin Imaging</Company>
    <DrvPackageVer>3.12.0.418</DrvPackageVer>
    <URL>http://www.tavrin-imaging.example/support</URL>
  </manufacturer>
</SERTUP_INFO>
)";

struct Value {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    std::wstring text;  // up to the first null or the stored size
};
using Values = std::map<std::wstring, Value>;

// Every value of a key (empty when the key does not open).
Values ReadValues(HKEY root, const std::wstring& path, REGSAM view = 0) {
    Values out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, bytes = 0;
        BYTE data[4096] = {};
        bytes = sizeof(data) - 2;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data, &bytes) != ERROR_SUCCESS) break;
        Value v;
        v.type = type;
        v.bytes = bytes;
        v.text = reinterpret_cast<const wchar_t*>(data);  // data is zero-filled past the stored bytes
        out[name] = v;
    }
    RegCloseKey(key);
    return out;
}

// Exactly the expected values, each REG_SZ with the expected text.
void ExpectTexts(const Values& values, const std::map<std::wstring, std::wstring>& expected) {
    ASSERT_EQ(values.size(), expected.size());
    for (const auto& [name, text] : expected) {
        SCOPED_TRACE(plat::WideToUtf8(name));
        ASSERT_TRUE(values.count(name));
        EXPECT_EQ(values.at(name).type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(values.at(name).text, text);
    }
}

std::vector<std::wstring> Subkeys(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.push_back(name);
    }
    RegCloseKey(key);
    return out;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring ProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder);
    return folder;
}

const wchar_t* const kRecordNames[] = {L"DrvTestH9 Printer", L"DrvTestH9 Other"};

class InstalledProductRecords : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cfg::LoadSetupConfigText(kDocument));
        Clean();
    }
    void TearDown() override {
        Clean();
        cfg::LoadSetupConfigText("");
    }
    void Clean() {
        for (const wchar_t* name : kRecordNames) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + name).c_str());
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"SOFTWARE\\Wow6432Node\\") + name).c_str());
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(uninstall::kUninstallKey) + L"\\DrvTestH9 Model").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(uninstall::kUpdateToolKey) + L"\\DrvTestH9 Model").c_str());
        RemoveUninstaller();
    }

    // The uninstall program beside the running program, where uisexe names it.
    std::wstring UninstallerSource() const { return plat::ProgramFolder() + L"DrvTestH9Setup\\x64\\uninst.exe"; }
    void PlaceUninstaller() {
        CreateDirectoryW((plat::ProgramFolder() + L"DrvTestH9Setup").c_str(), nullptr);
        CreateDirectoryW((plat::ProgramFolder() + L"DrvTestH9Setup\\x64").c_str(), nullptr);
        ASSERT_TRUE(testsupport::WriteBytes(UninstallerSource(), ""));
    }
    void RemoveUninstaller() {
        DeleteFileW(UninstallerSource().c_str());
        RemoveDirectoryW((plat::ProgramFolder() + L"DrvTestH9Setup\\x64").c_str());
        RemoveDirectoryW((plat::ProgramFolder() + L"DrvTestH9Setup").c_str());
    }
};

// The product key holds its eight values as REG_SZ, with an empty subkey
// beside each of the three folder values; a name without a KEYTYPE entry
// gets an empty "Type" of zero bytes. On 64-bit Windows the 32-bit view
// gets "Language" and "Suffix" and nothing else.
TEST_F(InstalledProductRecords, ProductKeyValuesSubkeysAndThe32BitCopy) {
    const std::wstring programFiles = ProgramFilesFolder();
    ASSERT_FALSE(programFiles.empty());
    struct Row {
        const wchar_t* name;
        const wchar_t* type;
    } rows[] = {{L"DrvTestH9 Printer", L"MFP"}, {L"DrvTestH9 Other", L""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.name));
        EXPECT_EQ(uninstall::WriteProductRecord(row.name, L"Simplified_Chinese", L"zhcn", L"192.0.2.20", L"4123456",
                                                true),
                  0);
        const std::wstring path = std::wstring(L"Software\\") + row.name;
        const Values values = ReadValues(HKEY_LOCAL_MACHINE, path);
        const std::map<std::wstring, std::wstring> expected = {
            {L"Language", L"Simplified_Chinese"}, {L"Suffix", L"zhcn"},       {L"IP", L"192.0.2.20"},
            {L"IP TIME", L"4123456"},             {L"Printer", programFiles}, {L"Scanner", programFiles},
            {L"Scantool", programFiles},          {L"Type", row.type}};
        ASSERT_NO_FATAL_FAILURE(ExpectTexts(values, expected));
        if (!*row.type) {
            EXPECT_EQ(values.at(L"Type").bytes, 0u);
        }
        std::vector<std::wstring> subkeys = Subkeys(HKEY_LOCAL_MACHINE, path);
        std::sort(subkeys.begin(), subkeys.end());
        EXPECT_EQ(subkeys, (std::vector<std::wstring>{L"Printer", L"Scanner", L"Scantool"}));
        for (const auto& sub : subkeys) EXPECT_TRUE(ReadValues(HKEY_LOCAL_MACHINE, path + L"\\" + sub).empty());

        // The copy, seen both at its explicit place and through the 32-bit view.
        for (const auto& [where, view] :
             {std::pair<std::wstring, REGSAM>{std::wstring(L"SOFTWARE\\Wow6432Node\\") + row.name, 0},
              std::pair<std::wstring, REGSAM>{path, KEY_WOW64_32KEY}}) {
            const Values copy = ReadValues(HKEY_LOCAL_MACHINE, where, view);
            ASSERT_EQ(copy.size(), 2u);
            EXPECT_EQ(copy.at(L"Language").text, L"Simplified_Chinese");
            EXPECT_EQ(copy.at(L"Language").type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(copy.at(L"Suffix").text, L"zhcn");
        }
    }
}

// Written again (a fax name equal to the printer name) the key is the same;
// on 32-bit Windows there is no copy; a record without a name is refused
// instead of writing into HKLM\Software itself.
TEST_F(InstalledProductRecords, RewriteNoCopyOn32BitAndNoNamelessRecord) {
    EXPECT_EQ(uninstall::WriteProductRecord(L"DrvTestH9 Printer", L"English", L"enus", L"", L"1", false), 0);
    EXPECT_EQ(uninstall::WriteProductRecord(L"DrvTestH9 Printer", L"German", L"de", L"", L"2", false), 0);
    const Values values = ReadValues(HKEY_LOCAL_MACHINE, L"Software\\DrvTestH9 Printer");
    EXPECT_EQ(values.size(), 8u);
    EXPECT_EQ(values.at(L"Language").text, L"German");
    EXPECT_EQ(values.at(L"IP").text, L"");
    EXPECT_EQ(values.at(L"IP").bytes, 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\DrvTestH9 Printer"));

    EXPECT_EQ(uninstall::WriteProductRecord(L"", L"English", L"enus", L"", L"1", false), 3);
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, L"Software").count(L"Language"), 0u);
}

// The six values of the uninstall entry. With the uninstall program beside
// the setup program the command runs it (quoted, with the switch that
// selects uninstalling); without it the entry names the folder.
TEST_F(InstalledProductRecords, UninstallEntryValues) {
    const std::wstring sys = plat::SystemDirectory();
    const std::wstring folder = sys + L"\\\\DrvTestH9\\\\K Series\\Uninstall";
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "uninstall program present" : "uninstall program missing");
        if (present) PlaceUninstaller(); else RemoveUninstaller();

        bool found = !present;
        EXPECT_EQ(uninstall::UninstallProgramPath(&found), present ? folder + L"\\uninst.exe" : folder);
        EXPECT_EQ(found, present);

        EXPECT_EQ(uninstall::WriteUninstallEntry(L"DrvTestH9 Model"), 0);
        const Values values =
            ReadValues(HKEY_LOCAL_MACHINE, std::wstring(uninstall::kUninstallKey) + L"\\DrvTestH9 Model");
        const std::map<std::wstring, std::wstring> expected = {
            {L"DisplayName", L"DrvTestH9 Model"},
            {L"DisplayIcon", sys + L"\\DrvTestH9\\K Series\\Uninstall\\k.ico"},
            {L"URLInfoAbout", L"http://www.tavrin-imaging.example/support"},
            {L"DisplayVersion", L"3.12.0.418"},
            {L"Publisher", L"Tavrin Imaging"},
            {L"UninstallString", present ? L"\"" + folder + L"\\uninst.exe\" -uninstall" : folder}};
        ASSERT_NO_FATAL_FAILURE(ExpectTexts(values, expected));
    }
    EXPECT_EQ(uninstall::WriteUninstallEntry(L""), 3);
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, uninstall::kUninstallKey).count(L"DisplayName"), 0u);
}

// The update tool learns the installed version from the current user's
// profile; a document without a version leaves no record.
TEST_F(InstalledProductRecords, UpdateToolRecordOnlyWithAVersion) {
    const std::wstring path = std::wstring(uninstall::kUpdateToolKey) + L"\\DrvTestH9 Model";
    EXPECT_EQ(uninstall::WriteUpdateToolRecord(L"DrvTestH9 Model"), 0);
    const Values values = ReadValues(HKEY_CURRENT_USER, path);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values.at(L"CurrentVersion").text, L"3.12.0.418");
    EXPECT_EQ(values.at(L"CurrentVersion").type, static_cast<DWORD>(REG_SZ));

    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    ASSERT_TRUE(cfg::LoadSetupConfigText("<SERTUP_INFO><manufacturer><Company>x</Company></manufacturer></SERTUP_INFO>"));
    EXPECT_EQ(uninstall::WriteUpdateToolRecord(L"DrvTestH9 Model"), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
}

}  // namespace
