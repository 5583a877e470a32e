#include "env/texts.h"

#include <cwchar>

#include "config/setup_config.h"
#include "env/languages.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/text.h"

wchar_t g_szHeadingText[1024] = {};
wchar_t g_szMultiFuncType[256] = {};

namespace env {

void ReadProductTexts() {
    g_szHeadingText[0] = L'\0';
    g_szMultiFuncType[0] = L'\0';
    cfg::GetConfigText(L"/SERTUP_INFO/Headingline/Content", g_szHeadingText);
    cfg::GetConfigText(L"/SERTUP_INFO/MultiFunc/Type", g_szMultiFuncType);
}

static std::wstring WithHeading(std::wstring text) {
    return plat::ReplaceAll(std::move(text), L"%Text%", g_szHeadingText);
}

int LoadMessageText(UINT id, wchar_t (&out)[1024]) {
    std::wstring text;
    if (!plat::LoadResourceString(id, text)) return 0;
    return static_cast<int>(plat::CopyTrunc(out, WithHeading(std::move(text))));
}

std::wstring MessageText(UINT id) {
    wchar_t buf[1024] = {};
    LoadMessageText(id, buf);
    return buf;
}

void SetControlTexts(HWND dialog, const ControlText* items, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::wstring text;
        if (!plat::LoadResourceString(items[i].stringId, text)) text = L"Load String Error!";
        SetDlgItemTextW(dialog, items[i].controlId, WithHeading(std::move(text)).c_str());
    }
}

UINT RtlMessageStyle(const wchar_t* language) {
    return IsRightToLeftLanguage(language) ? MB_RIGHT | MB_RTLREADING : 0;
}

int ShowMessage(HWND owner, UINT textId, UINT style) {
    return ShowMessageText(owner, MessageText(textId), style);
}

int ShowMessageText(HWND owner, const std::wstring& text, UINT style) {
    return plat::Sys().ShowMessageBox(owner, text.c_str(), MessageText(156).c_str(), style);
}

}  // namespace env
