// The demo product's configuration document holds together: what the
// program reads from it exists and the folder chain has the shape the
// uninstaller's location check needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "config/setup_config.h"

using cfg::ConfigList;

namespace {
class DemoDocument : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[1024] = {};
        GetEnvironmentVariableW(L"DRV_PRODUCT_SETUP", folder, 1024);
        ASSERT_NE(folder[0], L'\0') << "DRV_PRODUCT_SETUP is not set";
        ASSERT_TRUE(cfg::LoadSetupConfigFile(std::wstring(folder) + L"\\SetupCFG.xml"));
    }
    void TearDown() override { cfg::LoadSetupConfigText(""); }
    static std::wstring Keyed(const wchar_t* path, const wchar_t* key) {
        wchar_t buf[1024] = {};
        cfg::GetConfigTextByValue(path, key, buf);
        return buf;
    }
};
}  // namespace

TEST_F(DemoDocument, ModelsAndTheirPerModelValues) {
    ConfigList models;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/MODEL/Model_Info", L"type", models);
    ASSERT_GE(models.size(), 3u);
    std::set<std::wstring> types;
    for (const auto& m : models) {
        types.insert(m.szAttr);
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/PriName/PriModel", m.szText).empty()) << m.szText;
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/DEVICEFLAG/Flag", m.szText).empty()) << m.szText;
        ConfigList hw;
        cfg::GetConfigListByValue(L"/SERTUP_INFO/Hardware/Hardware_Info", m.szText, hw);
        EXPECT_FALSE(hw.empty()) << m.szText;
    }
    EXPECT_GE(types.size(), 3u);
    wchar_t multi[256] = {};
    cfg::GetConfigText(L"/SERTUP_INFO/MultiFunc/Type", multi);
    EXPECT_STREQ(multi, L"1");
    for (const wchar_t* kind : {L"PRINTER", L"FAX", L"EWS"})
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/INF/Infinpackage", kind).empty()) << kind;
    for (const wchar_t* kind : {L"DRV", L"DATA", L"UI", L"LM", L"Pro", L"Tcp", L"DIFX", L"Flash", L"FaxDR", L"FaxUI"})
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/DLL_NORMAL/source_dll", kind).empty()) << kind;
}

TEST_F(DemoDocument, EveryLanguageHasItsFiles) {
    for (const wchar_t* lang :
         {L"Arabic", L"Simplified_Chinese", L"Traditional_Chinese", L"English", L"French", L"Italian", L"Japanese",
          L"Russian", L"Spanish", L"Hebrew", L"German", L"Turkish", L"Polish", L"Swedish", L"Norwegian",
          L"Portuguese"}) {
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/DLL_SETUP/source_dll", lang).empty()) << lang;
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/DLL_UNSETUP/source_dll", lang).empty()) << lang;
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/LICENCE/source_txt", lang).empty()) << lang;
        EXPECT_FALSE(Keyed(L"/SERTUP_INFO/MANUAL/source_doc", lang).empty()) << lang;
    }
    EXPECT_FALSE(Keyed(L"/SERTUP_INFO/MANUAL/source_doc", L"Israel").empty());
}

TEST_F(DemoDocument, UninstallFolderIsExactlyThreeLevelsBelowTheSystemDirectory) {
    std::vector<std::wstring> dirs = cfg::GetDirValues();
    ASSERT_FALSE(dirs.empty());
    size_t levels = 1;  // uisname
    for (const auto& d : dirs) {
        ASSERT_FALSE(d.empty());
        EXPECT_EQ(d[0], L'\\') << d.c_str();
        levels += 1;
    }
    EXPECT_EQ(levels, 3u);
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    // Doubled separators read as one: the folder is three names below system32.
    std::wstring folder = cfg::GetUninstallFolder().substr(wcslen(sys));
    size_t names = 0;
    for (size_t i = 0; i < folder.size(); ++i)
        if (folder[i] != L'\\' && (i == 0 || folder[i - 1] == L'\\')) ++names;
    EXPECT_EQ(names, 3u) << folder.c_str();
}

TEST_F(DemoDocument, CopyTablesForBothStylesAndArchitectures) {
    for (const wchar_t* style : {L"XPSTYLE", L"W7STYLE"}) {
        for (const wchar_t* arch : {L"x64", L"x32"}) {
            std::wstring path = std::wstring(L"SERTUP_INFO/COPYFILES/") + style + L"/" + arch;
            ConfigList dst;
            cfg::GetConfigList(path.c_str(), L"ID", dst);
            ASSERT_FALSE(dst.empty()) << path.c_str();
            for (const auto& d : dst) {
                ConfigList src;
                cfg::GetConfigListByValue(L"SERTUP_INFO/COPYFILES/sourcefile", d.szAttr, src);
                EXPECT_FALSE(src.empty()) << path.c_str() << " " << d.szAttr;
            }
        }
    }
    ConfigList startup;
    cfg::GetConfigList(L"/SERTUP_INFO/StartUp/Process", L"Param", startup);
    EXPECT_FALSE(startup.empty());
    EXPECT_FALSE(Keyed(L"/SERTUP_INFO/STOPPROCESS/files", L"Wi-Fi").empty());
}
