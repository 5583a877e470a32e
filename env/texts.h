// Message texts of the string table and the two product-wide texts of the
// configuration document.
#pragma once

#include <windows.h>

#include <string>

// /SERTUP_INFO/Headingline/Content: replaces "%Text%" in every UI text.
extern wchar_t g_szHeadingText[1024];
// /SERTUP_INFO/MultiFunc/Type: "1" marks a multi-function model.
extern wchar_t g_szMultiFuncType[256];

namespace env {

// Reads g_szHeadingText and g_szMultiFuncType from the loaded document.
void ReadProductTexts();

// Loads string `id` of the resource module (language library first),
// replaces "%Text%" by the heading and copies at most 1023 characters.
// Returns the length, or 0 (buffer unchanged) when the id is missing.
int LoadMessageText(UINT id, wchar_t (&out)[1024]);
// The same as a std::wstring (empty when missing).
std::wstring MessageText(UINT id);

struct ControlText {
    int controlId;
    UINT stringId;
};
// Sets each control's text; a missing id gives "Load String Error!".
void SetControlTexts(HWND dialog, const ControlText* items, size_t count);
template <size_t N>
void SetControlTexts(HWND dialog, const ControlText (&items)[N]) {
    SetControlTexts(dialog, items, N);
}

// MB_RIGHT | MB_RTLREADING for "Arabic" and "Hebrew" (exact), else 0.
UINT RtlMessageStyle(const wchar_t* language);

// Message box with text `textId` and caption text 156.
int ShowMessage(HWND owner, UINT textId, UINT style);
// Message box with the given text and caption text 156.
int ShowMessageText(HWND owner, const std::wstring& text, UINT style);

}  // namespace env
