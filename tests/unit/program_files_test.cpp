// The product's program files and Start-menu shortcuts, observed in the test
// prefix: the files that land in the uninstall folder, on the Windows drive
// and beside the printer drivers, and the shell links read back through
// IShellLinkW.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "config/setup_config.h"
#include "install/program_files.h"
#include "platform/module.h"
#include "platform/text.h"
#include "support/fake_system.h"
#include "support/install_recorder.h"
#include "support/test_files.h"
#include "support/windows_state.h"

using testsupport::Exists;
using testsupport::Link;
using testsupport::ReadBytes;
using testsupport::ReadLink;
using testsupport::RemoveTree;

namespace {

// $PUSH$, $APP$ and $CALL$ let a test leave those elements out.
const char kDocument[] = R"(<?xml version="1.0" encoding="utf-8"?>
<SERTUP_INFO>
  <MODEL>
    <Model_Info type="1">DrvTestH9 USB</Model_Info>
    <Model_Info type="2">DrvTestH9 Net</Model_Info>
    <Model_Info type="3">DrvTestH9 All</Model_Info>
    <Model_Info type="4">DrvTestH9 Wifi</Model_Info>
  </MODEL>
  <DLL_UNSETUP>
    <source_dll ID="English">DrvTestH9Setup\Language\%Systembit%\Unsetup_enus.dll</source_dll>
    <source_dll ID="German">DrvTestH9Setup\Language\%Systembit%\Unsetup_de.dll</source_dll>
  </DLL_UNSETUP>
  <PRTCHMFILE>
    <source_chm ID="English">DrvTestH9Setup\Help\DrvTestH9_enus.chm</source_chm>
    <source_chm ID="German">DrvTestH9Setup\Help\DrvTestH9_de.chm</source_chm>
  </PRTCHMFILE>
  <ICON><iconfile>DrvTestH9Setup\k.ico</iconfile></ICON>
  <CreateFolder>
    <Folder><Dir>\DrvTestH9</Dir><Dir>\K Series</Dir></Folder>
    <uisname>Uninstall</uisname>
    <uisexe>DrvTestH9Setup\%Systembit%\uninst.exe</uisexe>
    <wifiexe>Wireless\%Systembit%\wifi.exe</wifiexe>
    $APP$
    $PUSH$
  </CreateFolder>
  $CALL$
  <COPYFILES>
    <XPSTYLE>
      <Common ID="C1">\DrvTestH9Drive\xp</Common>
    </XPSTYLE>
    <W7STYLE>
      <Common ID="C1">\DrvTestH9Drive\common\deep\er</Common>
      <Common ID="C2">\DrvTestH9Drive\shared</Common>
      <x64 ID="S">\DrvTestH9Drive\sys64</x64>
      <x32 ID="S">\DrvTestH9Drive\sys32</x32>
    </W7STYLE>
    <sourcefile ID="C1">DrvTestH9Setup\System\Common\a.icm</sourcefile>
    <sourcefile ID="C2">DrvTestH9Setup\System\Common\b.ini</sourcefile>
    <sourcefile ID="C2">DrvTestH9Setup\System\Common\missing.ini</sourcefile>
    <sourcefile ID="S">DrvTestH9Setup\System\%Systembit%\c.dll</sourcefile>
  </COPYFILES>
</SERTUP_INFO>
)";

struct DocumentParts {
    bool app = true;
    bool push = true;
    bool callInfo = true;
};

std::string Document(const DocumentParts& parts) {
    std::string doc = kDocument;
    auto put = [&doc](const std::string& token, const std::string& text) {
        doc.replace(doc.find(token), token.size(), text);
    };
    put("$APP$", parts.app ? "<appexe>\\Scan\\app.exe</appexe>" : "");
    put("$PUSH$", parts.push ? "<pushexe>\\Scan\\push.exe</pushexe>" : "");
    put("$CALL$", parts.callInfo ? "<CALLWIFI><CallInfo>Standalone</CallInfo></CALLWIFI>" : "");
    return doc;
}

// Files of the stand-in setup folder beside the test program; each holds
// its own relative name, so a copy shows where it came from.
const wchar_t* const kSetupFiles[] = {
    L"k.ico",
    L"Language\\x64\\Unsetup_enus.dll",
    L"Language\\x64\\Unsetup_de.dll",
    L"x64\\uninst.exe",
    L"Help\\DrvTestH9_enus.chm",
    L"Help\\DrvTestH9_de.chm",
    L"System\\Common\\a.icm",
    L"System\\Common\\b.ini",
    L"System\\x64\\c.dll",
    L"System\\x32\\c.dll",
};

// Every file below `path`, as paths relative to it.
void ListFiles(const std::wstring& path, const std::wstring& prefix, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(path + L"\\" + name, prefix + name + L"\\", out);
        else
            out.insert(prefix + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::set<std::wstring> FilesBelow(const std::wstring& path) {
    std::set<std::wstring> out;
    ListFiles(path, L"", out);
    return out;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}


const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring RegistryCommonPrograms() {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    RegGetValueW(HKEY_LOCAL_MACHINE, kShellFolders, L"Common Programs", RRF_RT_REG_SZ, nullptr, value, &bytes);
    return value;
}

void SetRegistryCommonPrograms(const std::wstring* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kShellFolders, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    if (value)
        RegSetValueExW(key, L"Common Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteValueW(key, L"Common Programs");
    RegCloseKey(key);
}

class ProgramFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_resources.Loaded());
        system.version = {true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0};
        CoInitialize(nullptr);
        m_commonPrograms = RegistryCommonPrograms();
        ASSERT_FALSE(m_commonPrograms.empty());
        Clean();
        for (const wchar_t* file : kSetupFiles) PlaceSetupFile(file);
        CreateDirectoryW(kProgramFiles, nullptr);  // Program Files is there; the product's levels are not
        Load({});
    }
    void TearDown() override {
        SetRegistryCommonPrograms(&m_commonPrograms);
        Clean();
        cfg::LoadSetupConfigText("");
        CoUninitialize();
    }

    void Load(const DocumentParts& parts) { ASSERT_TRUE(cfg::LoadSetupConfigText(Document(parts))); }

    std::wstring SetupFolder() const { return plat::ProgramFolder() + L"DrvTestH9Setup"; }
    std::wstring UninstallFolder() const { return plat::SystemDirectory() + L"\\DrvTestH9\\K Series\\Uninstall"; }
    std::wstring ProductFolder(const std::wstring& programs, const std::wstring& model) const {
        return programs + L"\\DrvTestH9\\" + model;
    }
    static constexpr const wchar_t* kProgramFiles = L"C:\\DrvTestH9PF";

    void PlaceSetupFile(const std::wstring& relative) {
        std::wstring path = SetupFolder();
        CreateDirectoryW(path.c_str(), nullptr);
        size_t start = 0, slash;
        while ((slash = relative.find(L'\\', start)) != std::wstring::npos) {
            CreateDirectoryW((path + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
            start = slash + 1;
        }
        std::ofstream(plat::WideToUtf8(path + L"\\" + relative), std::ios::binary) << plat::WideToUtf8(relative);
    }

    void Clean() {
        RemoveTree(SetupFolder());
        RemoveTree(plat::SystemDirectory() + L"\\DrvTestH9");
        RemoveTree(L"C:\\DrvTestH9Drive");
        RemoveTree(kProgramFiles);
        RemoveTree(L"C:\\DrvTestH9Programs");
        RemoveTree(m_commonPrograms + L"\\DrvTestH9");
        for (const wchar_t* name : {L"DrvTestH9_enus.chm", L"DrvTestH9_de.chm"})
            DeleteFileW((testsupport::PrinterDriverDirectory() + L"\\3\\" + name).c_str());
    }

    testsupport::ProgramResources m_resources;
    testsupport::FakeSystem system;
    std::wstring m_commonPrograms;
};

// The uninstall program, its icon and the install language's resource
// library go to the uninstall folder; the copy sets of the system's style
// (common, then the 64-bit one) to their folders on the Windows drive, every
// level created; the language's help file beside the printer drivers.
// Sources that are missing are passed over; nothing else is copied.
TEST_F(ProgramFiles, CopiesEachFileToItsPlacePerSystemStyle) {
    struct Row {
        const char* name;
        plat::OsVersion version;
        std::set<std::wstring> driveFiles;
    } rows[] = {
        {"Windows 10", {true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0},
         {L"common\\deep\\er\\a.icm", L"shared\\b.ini", L"sys64\\c.dll"}},
        {"Windows XP", {true, true, VER_PLATFORM_WIN32_NT, 5, 1, VER_NT_WORKSTATION, 0}, {L"xp\\a.icm"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Clean();
        for (const wchar_t* file : kSetupFiles) PlaceSetupFile(file);
        system.version = row.version;

        install::CopyProgramFiles(L"English");

        EXPECT_EQ(FilesBelow(UninstallFolder()),
                  (std::set<std::wstring>{L"k.ico", L"Unsetup_enus.dll", L"uninst.exe"}));
        EXPECT_EQ(ReadBytes(UninstallFolder() + L"\\uninst.exe"), "x64\\uninst.exe");
        EXPECT_EQ(ReadBytes(UninstallFolder() + L"\\Unsetup_enus.dll"), "Language\\x64\\Unsetup_enus.dll");
        EXPECT_EQ(FilesBelow(L"C:\\DrvTestH9Drive"), row.driveFiles);
        if (row.driveFiles.count(L"sys64\\c.dll")) {
            EXPECT_EQ(ReadBytes(L"C:\\DrvTestH9Drive\\sys64\\c.dll"), "System\\x64\\c.dll");
        }
        EXPECT_EQ(ReadBytes(testsupport::PrinterDriverDirectory() + L"\\3\\DrvTestH9_enus.chm"), "Help\\DrvTestH9_enus.chm");
        EXPECT_FALSE(Exists(testsupport::PrinterDriverDirectory() + L"\\3\\DrvTestH9_de.chm"));
    }
}

// Copying again replaces what an earlier install left.
TEST_F(ProgramFiles, CopyOverwritesEarlierFiles) {
    install::CopyProgramFiles(L"English");
    const std::wstring icon = UninstallFolder() + L"\\k.ico";
    std::ofstream(plat::WideToUtf8(icon), std::ios::binary) << "old";
    install::CopyProgramFiles(L"English");
    EXPECT_EQ(ReadBytes(icon), "k.ico");
}

// The whole set for a model with a wireless tool, read back as Windows
// reads the links.
TEST_F(ProgramFiles, ShortcutsOfAWirelessModel) {
    ASSERT_EQ(install::CreateStartMenuShortcuts(L"DrvTestH9 All", kProgramFiles, L"English"), 0);

    const std::wstring folder = ProductFolder(m_commonPrograms, L"DrvTestH9 All");
    const std::wstring installed = std::wstring(kProgramFiles) + L"\\DrvTestH9\\K Series\\";
    EXPECT_TRUE(Exists(installed));
    const struct {
        const wchar_t* file;
        std::wstring target, arguments, description;
        DWORD showCommand;
    } expected[] = {
        {L"帮助文件.lnk", testsupport::PrinterDriverDirectory() + L"\\3\\DrvTestH9_enus.chm", L"",
         L"帮助文件可以为您提供关于Tavrin K7820-K7850-K7860系列打印机的所有信息", SW_SHOW},
        {L"卸载.lnk", UninstallFolder() + L"\\uninst.exe", L"-uninstall", L"卸载您的Tavrin K7820-K7850-K7860打印机驱动",
         SW_SHOW},
        {L"无线网络配置工具.lnk", installed + L"Wireless\\x64\\wifi.exe", L" \"Standalone\" \"English\"", L"", SW_SHOW},
        {L"Tavrin推扫管理器.lnk", installed + L"Scan\\push.exe", L"", L"为您提供推扫设置", SW_SHOWNORMAL},
        {L"Tavrin扫描应用软件.lnk", installed + L"Scan\\app.exe", L"\"DrvTestH9 All\"", L"\"\"", SW_SHOWNORMAL},
    };
    std::set<std::wstring> files;
    for (const auto& e : expected) {
        SCOPED_TRACE(plat::WideToUtf8(e.file));
        files.insert(e.file);
        Link link;
        ASSERT_TRUE(ReadLink(folder + L"\\" + e.file, link));
        EXPECT_EQ(FullPath(link.target), FullPath(e.target));
        EXPECT_EQ(link.arguments, e.arguments);
        EXPECT_EQ(link.description, e.description);
        EXPECT_EQ(link.showCommand, e.showCommand);
    }
    EXPECT_EQ(FilesBelow(folder), files);
}

// Which links each model and document gets, and the result: the step stops
// with 3 where the scan tools are not configured, keeping what it made.
TEST_F(ProgramFiles, ShortcutSetPerModelTypeAndDocument) {
    const std::wstring help = L"帮助文件.lnk", uninstaller = L"卸载.lnk", wireless = L"无线网络配置工具.lnk",
                       settings = L"Tavrin推扫管理器.lnk", app = L"Tavrin扫描应用软件.lnk";
    struct Row {
        const wchar_t* model;
        DocumentParts parts;
        int result;
        std::set<std::wstring> links;
    } rows[] = {
        {L"DrvTestH9 USB", {}, 0, {help, uninstaller, settings, app}},
        {L"DrvTestH9 Net", {}, 0, {help, uninstaller, settings, app}},
        {L"DrvTestH9 Wifi", {}, 0, {help, uninstaller, wireless, settings, app}},
        {L"DrvTestH9 Wifi", {true, false, true}, 3, {help, uninstaller, wireless}},
        {L"DrvTestH9 USB", {false, true, true}, 3, {help, uninstaller, settings}},
        {L"Not A Listed Model", {}, 0, {help, uninstaller, settings, app}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.model) + (row.parts.push ? "" : ", no pushexe") +
                     (row.parts.app ? "" : ", no appexe"));
        RemoveTree(m_commonPrograms + L"\\DrvTestH9");
        Load(row.parts);
        EXPECT_EQ(install::CreateStartMenuShortcuts(row.model, kProgramFiles, L"English"), row.result);
        EXPECT_EQ(FilesBelow(ProductFolder(m_commonPrograms, row.model)), row.links);
    }
}

// Without CallInfo the wireless tool starts with no arguments; without the
// help file and the uninstall program in the setup folder their links point
// at the folders they would be in.
TEST_F(ProgramFiles, ShortcutTargetsWhenFilesOrArgumentsAreMissing) {
    Load({true, true, false});
    DeleteFileW((SetupFolder() + L"\\Help\\DrvTestH9_enus.chm").c_str());
    DeleteFileW((SetupFolder() + L"\\x64\\uninst.exe").c_str());
    ASSERT_EQ(install::CreateStartMenuShortcuts(L"DrvTestH9 Wifi", kProgramFiles, L"English"), 0);

    const std::wstring folder = ProductFolder(m_commonPrograms, L"DrvTestH9 Wifi");
    Link link;
    ASSERT_TRUE(ReadLink(folder + L"\\帮助文件.lnk", link));
    EXPECT_EQ(FullPath(link.target), FullPath(testsupport::PrinterDriverDirectory()));
    ASSERT_TRUE(ReadLink(folder + L"\\卸载.lnk", link));
    EXPECT_EQ(FullPath(link.target), FullPath(UninstallFolder() + L"\\"));
    EXPECT_EQ(link.arguments, L"");
    ASSERT_TRUE(ReadLink(folder + L"\\无线网络配置工具.lnk", link));
    EXPECT_EQ(link.arguments, L"");
}

// The links go below the all-users programs folder the registry names; with
// no such value there is no folder to put them in and the step stops.
TEST_F(ProgramFiles, ShortcutsFollowTheRegistrysProgramsFolder) {
    const std::wstring moved = L"C:\\DrvTestH9Programs";
    CreateDirectoryW(moved.c_str(), nullptr);
    SetRegistryCommonPrograms(&moved);
    EXPECT_EQ(install::CreateStartMenuShortcuts(L"DrvTestH9 USB", kProgramFiles, L"English"), 0);
    EXPECT_TRUE(Exists(ProductFolder(moved, L"DrvTestH9 USB") + L"\\帮助文件.lnk"));
    EXPECT_FALSE(Exists(ProductFolder(m_commonPrograms, L"DrvTestH9 USB")));

    RemoveTree(moved);
    SetRegistryCommonPrograms(nullptr);
    EXPECT_EQ(install::CreateStartMenuShortcuts(L"DrvTestH9 USB", kProgramFiles, L"English"), 3);
    EXPECT_FALSE(Exists(moved));
    EXPECT_FALSE(Exists(ProductFolder(m_commonPrograms, L"DrvTestH9 USB")));
}

// Windows on another drive than C: finds the programs folder at the same
// place on its own drive.
TEST(ProgramsFolder, MovesToTheWindowsDrive) {
    const std::wstring programs = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    struct Row {
        const wchar_t* windows;
        const wchar_t* folder;
        std::wstring expected;
    } rows[] = {
        {L"C:\\Windows", programs.c_str(), programs},
        {L"c:\\WINDOWS", programs.c_str(), programs},
        {L"C:\\WINNT", programs.c_str(), programs},
        {L"D:\\Windows", programs.c_str(), L"D:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
        {L"E:\\WINNT", L"C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
         L"E:\\Documents and Settings\\All Users\\Start Menu\\Programs"},
        {L"C:\\Systems\\Windows", programs.c_str(), programs},
        {L"D:\\Windows", L"\\\\server\\share\\Programs", L"\\\\server\\share\\Programs"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.windows) + " " + plat::WideToUtf8(row.folder));
        EXPECT_EQ(install::ProgramsFolderOnWindowsDrive(row.folder, row.windows), row.expected);
    }
}

}  // namespace
