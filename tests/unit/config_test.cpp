#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "config/setup_config.h"
#include "platform/text.h"
#include "tests/support/spooler_fixture.h"
#include "tests/support/test_files.h"

using cfg::ConfigList;

namespace {

const char kDoc[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERTUP_INFO>
  <Headingline><Content>Tavrin K7820-K7850-K7860 Series</Content></Headingline>
  <MODEL>
    <Model_Info type="1">Tavrin K7820</Model_Info>
    <Model_Info type="3">Tavrin K7860</Model_Info>
  </MODEL>
  <PriName>
    <PriModel ID="Tavrin K7820">Tavrin K7820 Printer</PriModel>
    <PriModel ID="Tavrin K7860">Tavrin K7860 Printer</PriModel>
    <PriModel Other="x" ID="Tavrin K7860">second match</PriModel>
  </PriName>
  <KEYTYPE><Typename lang="en" name="Tavrin K7860 Printer">MFP</Typename></KEYTYPE>
  <CreateFolder>
    <Folder><Dir>\Tavrin</Dir><Dir>\K7800</Dir><Note>n</Note></Folder>
    <uisname>Uninst</uisname>
  </CreateFolder>
  <COPYFILES>
    <W7STYLE><x64 ID="d1">\Windows\System32</x64><x64 ID="d2">\Windows\SysWOW64</x64></W7STYLE>
    <sourcefile ID="d1">a.dll</sourcefile><sourcefile ID="d2">b.dll</sourcefile>
    <sourcefile ID="d1">c.dll</sourcefile>
  </COPYFILES>
  <Chinese>中文</Chinese>
  <Cdata><![CDATA[a<b]]></Cdata>
</SERTUP_INFO>)";

class ConfigQueries : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cfg::LoadSetupConfigText(kDoc)); }
    void TearDown() override { cfg::LoadSetupConfigText(""); }

    static std::wstring Text(const wchar_t* xpath) {
        wchar_t buf[1024] = L"untouched";
        cfg::GetConfigText(xpath, buf);
        return buf;
    }
    static std::wstring Keyed(const wchar_t* xpath, const wchar_t* key) {
        wchar_t buf[1024] = {};
        cfg::GetConfigTextByValue(xpath, key, buf);
        return buf;
    }
};

}  // namespace

TEST_F(ConfigQueries, SingleTextForms) {
    EXPECT_EQ(Text(L"/SERTUP_INFO/Headingline/Content"), L"Tavrin K7820-K7850-K7860 Series");
    EXPECT_EQ(Text(L"SERTUP_INFO/Headingline/Content"), L"Tavrin K7820-K7850-K7860 Series");
    EXPECT_EQ(Text(L"/SERTUP_INFO/Chinese"), L"\u4e2d\u6587");
    EXPECT_EQ(Text(L"/SERTUP_INFO/Cdata"), L"a<b");
    EXPECT_EQ(Text(L"/SERTUP_INFO/Missing"), L"");
    EXPECT_EQ(Text(L"/SERTUP_INFO/MODEL/Model_Info/@type"), L"");  // an attribute selects no text
    EXPECT_EQ(Text(L"/SERTUP_INFO/[broken"), L"");               // an invalid query selects nothing
}

TEST_F(ConfigQueries, KeyedLookUpIsExactCaseSensitiveAndMatchesAnyAttribute) {
    EXPECT_EQ(Keyed(L"/SERTUP_INFO/PriName/PriModel", L"Tavrin K7860"), L"Tavrin K7860 Printer");
    EXPECT_EQ(Keyed(L"/SERTUP_INFO/PriName/PriModel", L"tavrin k7860"), L"");
    EXPECT_EQ(Keyed(L"/SERTUP_INFO/PriName/PriModel", L"Tavrin K786"), L"");
    EXPECT_EQ(Keyed(L"/SERTUP_INFO/KEYTYPE/Typename", L"Tavrin K7860 Printer"), L"MFP");

    wchar_t buf[32] = L"kept";
    EXPECT_FALSE(cfg::GetConfigTextByValue(L"/SERTUP_INFO/PriName/PriModel", L"nothing", buf));
    EXPECT_STREQ(buf, L"kept");

    ConfigList list;
    cfg::GetConfigListByValue(L"/SERTUP_INFO/PriName/PriModel", L"Tavrin K7860", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[1].szAttr, L"Tavrin K7860");
    EXPECT_STREQ(list[1].szText, L"second match");
}

TEST_F(ConfigQueries, ListForms) {
    ConfigList list;
    cfg::GetConfigList(L"/SERTUP_INFO/MODEL/Model_Info", L"type", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[0].szAttr, L"1");
    EXPECT_STREQ(list[1].szText, L"Tavrin K7860");

    // The sibling list goes on past the Dir elements to any later sibling.
    cfg::GetConfigSiblingList(L"SERTUP_INFO/CreateFolder/Folder/Dir", L"", list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_STREQ(list[0].szText, L"\\Tavrin");
    EXPECT_STREQ(list[1].szText, L"\\K7800");
    EXPECT_STREQ(list[2].szText, L"n");
    EXPECT_STREQ(list[2].szAttr, L"");

    // Destinations and their sources are linked by equal attribute values.
    cfg::GetConfigList(L"SERTUP_INFO/COPYFILES/W7STYLE/x64", L"ID", list);
    ASSERT_EQ(list.size(), 2u);
    ConfigList sources;
    cfg::GetConfigListByValue(L"SERTUP_INFO/COPYFILES/sourcefile", list[0].szAttr, sources);
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_STREQ(sources[0].szText, L"a.dll");
    EXPECT_STREQ(sources[1].szText, L"c.dll");

    cfg::GetConfigList(L"/SERTUP_INFO/Nothing", L"ID", list);
    EXPECT_TRUE(list.empty());
}

TEST_F(ConfigQueries, UninstallFolderIsThreeLevelsBelowTheSystemDirectory) {
    wchar_t sys[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    EXPECT_EQ(cfg::GetUninstallFolder(), std::wstring(sys) + L"\\Tavrin\\\\K7800\\n\\Uninst");
}

TEST(ConfigDocument, OtherRootOrNoDocumentGivesEmptyResults) {
    for (const char* doc : {"<OTHER><MODEL><Model_Info type=\"1\">M</Model_Info></MODEL></OTHER>", ""}) {
        cfg::LoadSetupConfigText(doc);
        wchar_t buf[16] = L"kept";
        cfg::GetConfigText(L"/SERTUP_INFO/MODEL/Model_Info", buf);
        EXPECT_TRUE(buf[0] == L'\0' || wcscmp(buf, L"kept") == 0);
        ConfigList list;
        cfg::GetConfigSiblingList(L"SERTUP_INFO/MODEL/Model_Info", L"type", list);
        EXPECT_TRUE(list.empty());
        cfg::GetConfigList(L"//Model_Info", L"type", list);
        EXPECT_TRUE(list.empty() || doc[0] != '\0');
    }
    // Without any document the single-text query leaves the buffer alone.
    cfg::LoadSetupConfigText("");
    wchar_t buf[16] = L"kept";
    EXPECT_FALSE(cfg::GetConfigText(L"/SERTUP_INFO/MODEL/Model_Info", buf));
    EXPECT_STREQ(buf, L"kept");
}

TEST(ConfigDocument, LongValuesAreCutToTheBuffer) {
    std::string longText(3000, 'v');
    ASSERT_TRUE(cfg::LoadSetupConfigText("<SERTUP_INFO><A ID=\"k\">" + longText + "</A></SERTUP_INFO>"));
    ConfigList list;
    cfg::GetConfigList(L"/SERTUP_INFO/A", L"ID", list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(wcslen(list[0].szText), 1023u);

    wchar_t small[8];
    wmemset(small, L'#', 8);
    cfg::GetConfigText(L"/SERTUP_INFO/A", small, 5);
    EXPECT_STREQ(small, L"vvvv");
    EXPECT_EQ(small[5], L'#');
    cfg::LoadSetupConfigText("");
}

TEST(ConfigDocument, LoadFromFileRejectsMissingAndMalformed) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring path = std::wstring(tmp) + L"cfg_test.xml";
    DeleteFileW(path.c_str());
    EXPECT_FALSE(cfg::LoadSetupConfigFile(path));

    auto write = [&](const std::string& bytes) { testsupport::WriteBytes(path, bytes); };
    write("<SERTUP_INFO><a>1</a>");
    EXPECT_FALSE(cfg::LoadSetupConfigFile(path));
    EXPECT_FALSE(cfg::IsSetupConfigLoaded());
    // UTF-16 with a byte-order mark is detected automatically.
    write(std::string("\xff\xfe<\0S\0E\0R\0T\0U\0P\0_\0I\0N\0F\0O\0/\0>\0", 30));
    EXPECT_TRUE(cfg::LoadSetupConfigFile(path));
    DeleteFileW(path.c_str());
    cfg::LoadSetupConfigText("");
}

TEST(ConfigValues, SystembitAndCopyStyle) {
    EXPECT_EQ(cfg::ReplaceSystembit(L"Driver\\%Systembit%\\Drivers", L"x64"), L"Driver\\x64\\Drivers");
    EXPECT_EQ(cfg::ReplaceSystembit(L"%Systembit%\\a\\%Systembit%", L"x32"), L"x32\\a\\x32");
    EXPECT_STREQ(cfg::ArchTag(), L"x64");  // this test binary is the 64-bit build
    EXPECT_EQ(cfg::ReplaceSystembit(L"a\\%Systembit%\\b"), L"a\\x64\\b");

    struct {
        unsigned code;
        const wchar_t* style;
    } rows[] = {{7, L"/XPSTYLE"},  {8, L"/XPSTYLE"},  {12, L"/XPSTYLE"}, {14, L"/XPSTYLE"},
                {0, L"/W7STYLE"},  {9, L"/W7STYLE"},  {11, L"/W7STYLE"}, {13, L"/W7STYLE"},
                {19, L"/W7STYLE"}, {20, L"/W7STYLE"}};
    for (const auto& r : rows) EXPECT_STREQ(cfg::CopyFilesStyleForOsCode(r.code), r.style) << r.code;
}

TEST(ConfigValues, ConnectionMethodsByModelType) {
    struct {
        const wchar_t* type;
        bool usb, wired, wireless, oneKey;
    } rows[] = {{L"1", true, false, false, false}, {L"2", true, true, false, false},
                {L"4", true, false, true, true},   {L"3", true, true, true, true},
                {L"", true, true, true, true},     {L"10", true, true, true, true}};
    for (const auto& r : rows) {
        cfg::ConnectionMethods m = cfg::ConnectionMethodsForType(r.type);
        EXPECT_EQ(m.usb, r.usb) << r.type;
        EXPECT_EQ(m.wired, r.wired) << r.type;
        EXPECT_EQ(m.wireless, r.wireless) << r.type;
        EXPECT_EQ(m.oneKeyWireless, r.oneKey) << r.type;
    }
}

TEST(ConfigSpooler, FamilyDriverInstalledFollowsRealPrinters) {
    ASSERT_TRUE(cfg::LoadSetupConfigText(kDoc));
    testsupport::SpoolerFixture spooler;
    EXPECT_FALSE(cfg::IsFamilyDriverInstalled());

    ASSERT_TRUE(spooler.AddDriverAndPrinter(L"Some Other Driver", L"Other queue"));
    EXPECT_FALSE(cfg::IsFamilyDriverInstalled());

    ASSERT_TRUE(spooler.AddDriverAndPrinter(L"Tavrin K7860", L"Tavrin K7860 Printer"));
    EXPECT_TRUE(cfg::IsFamilyDriverInstalled());

    // Only an exact driver name counts.
    spooler.RemoveAll();
    ASSERT_TRUE(spooler.AddDriverAndPrinter(L"tavrin k7860", L"lower-case queue"));
    EXPECT_FALSE(cfg::IsFamilyDriverInstalled());
    spooler.RemoveAll();
    cfg::LoadSetupConfigText("");
}
