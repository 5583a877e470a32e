// Languages of a run: the sixteen language names and their tables, the choice
// of the run's language, the language and bitmap resource libraries, and the
// language suffix.
//
// The program's own resources are Simplified Chinese. Every other language
// comes from a resource library named by /SERTUP_INFO/DLL_SETUP/source_dll
// (install) or /SERTUP_INFO/DLL_UNSETUP/source_dll (uninstall); once loaded it
// is the resource module, so dialogs, strings and pictures come from it.
// Pictures of left-to-right languages come from the bitmap library instead.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "platform/module.h"

namespace env {

// One language of the language list: {language name, display text}.
struct LanguageItem {
    std::wstring name;     // language name, e.g. "English"
    std::wstring display;  // text shown in the language list
};

// The language members of a wizard host. The hosts inherit them, so pages
// reach them as host members.
struct LanguageState {
    wchar_t m_szLanguage[256] = {};    // language name of the run
    wchar_t m_szLangSuffix[256] = {};  // language suffix, e.g. "enus"
    std::vector<LanguageItem> m_Languages;  // offered languages, in document order
    HMODULE m_hLangDll = nullptr;      // language resource library
    HMODULE m_hBmpDll = nullptr;       // bitmap library
    int m_bUseBmpDll = 0;              // pictures come from the bitmap library
    BYTE m_bLanguageLocked = 0;        // the pages' language list is disabled
};

// One row of the language table.
struct LanguageInfo {
    const wchar_t* name;     // language name (exact, case-sensitive)
    const wchar_t* display;  // display name of the language list
    const wchar_t* suffix;   // default suffix
};
// The sixteen languages in display-table order: Arabic, Simplified_Chinese,
// Traditional_Chinese, English, French, Italian, Japanese, Russian, Spanish,
// Hebrew, German, Turkish, Polish, Swedish, Norwegian, Portuguese.
extern const LanguageInfo kLanguageTable[16];

// "Bmprcx64.dll" in the 64-bit build, "Bmprcx32.dll" in the 32-bit build.
const wchar_t* BitmapLibraryName();

// True for "Arabic" and "Hebrew" (exact).
bool IsRightToLeftLanguage(const wchar_t* language);

// The language name for a UI language id; every id the table does not list
// gives "English".
const wchar_t* LanguageNameForUiLanguage(LANGID uiLanguage);

// Writes the language name of the system UI language.
void GetUiLanguageName(wchar_t* out, size_t cap, LANGID uiLanguage = GetUserDefaultUILanguage());
template <size_t N>
void GetUiLanguageName(wchar_t (&out)[N], LANGID uiLanguage = GetUserDefaultUILanguage()) {
    GetUiLanguageName(out, N, uiLanguage);
}

// The language stored by an earlier installation: the "Language" value of the
// first product key HKLM\Software\<printer name> that opens, for the printer
// names of /SERTUP_INFO/PriName/PriModel in order (at most 127 characters).
// True when a key opened, also when it has no "Language" value (`out` is then
// empty); false when none opened.
bool ReadStoredLanguage(wchar_t (&out)[128]);

// Fills m_Languages with {ID, ID} for every DLL_SETUP library that exists
// below `folder` ("%Systembit%" replaced by `archTag`), in document order.
void BuildOfferedLanguages(LanguageState& state, const std::wstring& folder = plat::ProgramFolder(),
                           const wchar_t* archTag = cfg::ArchTag());

// Sets m_szLanguage and m_bLanguageLocked: the command-line language (not
// locked); else the stored language (locked); else the UI language when it is
// offered, else English when offered or nothing is offered, else the first
// offered language (locked when a printer of the family is installed).
void ChooseLanguage(LanguageState& state, const wchar_t* commandLineLanguage,
                    LANGID uiLanguage = GetUserDefaultUILanguage());

// Replaces each offered language's display text by its display name from
// the language table; unknown names keep their language name.
void ApplyDisplayNames(LanguageState& state);

// Frees the language and bitmap libraries of a previous load, then loads the
// bitmap library (not for Arabic and Hebrew) and the language library of
// m_szLanguage from `folder`. A missing bitmap library stops the load. True
// when the language library was loaded; it is then the resource module.
// Otherwise the program's own resources stay in use.
bool LoadLanguageModules(LanguageState& state, const std::wstring& folder = plat::ProgramFolder(),
                         const wchar_t* archTag = cfg::ArchTag(),
                         const wchar_t* bitmapLibrary = BitmapLibraryName());

// The uninstaller's variant: the first DLL_UNSETUP library whose file name is
// found in `folder` becomes the language library and the resource module; its
// ID becomes m_szLanguage when not empty; then the bitmap library is loaded
// (not for Arabic and Hebrew). True when a language library was loaded.
bool LoadUninstallLanguageModules(LanguageState& state, const std::wstring& folder = plat::ProgramFolder(),
                                  const wchar_t* bitmapLibrary = BitmapLibraryName());

// Frees both libraries; the program's own resources are in use again.
void FreeLanguageModules(LanguageState& state);

// Sets m_szLangSuffix: /SERTUP_INFO/SUFFIX/suffixName keyed by the language
// when not empty, else the language's default suffix, else "enus".
void GetLanguageSuffix(LanguageState& state);

}  // namespace env
