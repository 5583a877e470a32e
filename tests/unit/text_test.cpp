#include <gtest/gtest.h>

#include "platform/text.h"

TEST(Text, CopyTruncNeverWritesPastTheBuffer) {
    wchar_t buf[6];
    wmemset(buf, L'#', 6);
    EXPECT_EQ(plat::CopyTrunc(buf, 5, L"abcdefgh"), 4u);
    EXPECT_STREQ(buf, L"abcd");
    EXPECT_EQ(buf[5], L'#');
    EXPECT_EQ(plat::CopyTrunc(buf, L"xy"), 2u);
    EXPECT_STREQ(buf, L"xy");
}

TEST(Text, ConversionsAndReplacement) {
    EXPECT_EQ(plat::Utf8ToWide("\xe4\xb8\xad\xe6\x96\x87"), L"\u4e2d\u6587");
    EXPECT_EQ(plat::WideToUtf8(L"\u4e2d"), "\xe4\xb8\xad");
    EXPECT_EQ(plat::ReplaceAll(L"a%X%b%X%", L"%X%", L"--"), L"a--b--");
    EXPECT_TRUE(plat::EqualsNoCaseAscii(L"-INSTALL", L"-install"));
    EXPECT_FALSE(plat::EqualsNoCaseAscii(L"-instal", L"-install"));
    EXPECT_EQ(plat::FileNamePart(L"C:\\a\\b.inf"), L"b.inf");
    EXPECT_EQ(plat::FolderPart(L"C:\\a\\b.inf"), L"C:\\a\\");
}
