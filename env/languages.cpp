#include "env/languages.h"

#include <cwchar>
#include <utility>

#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace env {

const LanguageInfo kLanguageTable[16] = {
    {L"Arabic", L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629", L"ar"},
    {L"Simplified_Chinese", L"\u4E2D\u6587\uFF08\u7B80\u4F53\uFF09", L"zhcn"},
    {L"Traditional_Chinese", L"\u4E2D\u6587\uFF08\u7E41\u9AD4\uFF09", L"zhtw"},
    {L"English", L"English", L"enus"},
    {L"French", L"Fran\u00E7ais", L"fr"},
    {L"Italian", L"Italliano", L"it"},
    {L"Japanese", L"\u65E5\u672C\u8A9E", L"ja"},
    // The first letter is the Latin p (U+0070), as the list has always shown it.
    {L"Russian", L"p\u0443\u0441\u0441\u043A\u0438\u0439", L"ru"},
    {L"Spanish", L"Espa\u00F1ol", L"esmx"},
    {L"Hebrew", L"\u05E2\u05D1\u05E8\u05D9\u05EA", L"he"},
    {L"German", L"deutsch", L"de"},
    {L"Turkish", L"T\u00FCrk\u00E7e", L"tr"},
    {L"Polish", L"Polski", L"enus"},
    {L"Swedish", L"Svenska", L"sv"},
    {L"Norwegian", L"Norsk", L"no"},
    {L"Portuguese", L"Portugu\u00EAs", L"enus"},
};

namespace {

const LanguageInfo* FindLanguage(const wchar_t* name) {
    if (!name) return nullptr;
    for (const LanguageInfo& info : kLanguageTable)
        if (wcscmp(info.name, name) == 0) return &info;
    return nullptr;
}

struct UiLanguageRow {
    LANGID id;
    const wchar_t* name;
};

// UI language ids and their language; 1034 (Spanish, traditional sort) is
// deliberately absent and so falls back to English.
const UiLanguageRow kUiLanguages[] = {
    {1025, L"Arabic"}, {2049, L"Arabic"}, {3073, L"Arabic"}, {4097, L"Arabic"},
    {5121, L"Arabic"}, {6145, L"Arabic"}, {7169, L"Arabic"}, {8193, L"Arabic"},
    {9217, L"Arabic"}, {10241, L"Arabic"}, {11265, L"Arabic"}, {12289, L"Arabic"},
    {13313, L"Arabic"}, {14337, L"Arabic"}, {15361, L"Arabic"}, {16385, L"Arabic"},
    {2052, L"Simplified_Chinese"},
    {1028, L"Traditional_Chinese"}, {3076, L"Traditional_Chinese"}, {4100, L"Traditional_Chinese"},
    {5124, L"Traditional_Chinese"},
    {1033, L"English"}, {2057, L"English"}, {3081, L"English"}, {4105, L"English"},
    {5129, L"English"}, {6153, L"English"}, {7177, L"English"}, {8201, L"English"},
    {9225, L"English"}, {10249, L"English"}, {11273, L"English"}, {12297, L"English"},
    {13321, L"English"}, {16393, L"English"}, {17417, L"English"}, {18441, L"English"},
    {1036, L"French"}, {2060, L"French"}, {3084, L"French"}, {4108, L"French"},
    {5132, L"French"}, {6156, L"French"},
    {1040, L"Italian"}, {2064, L"Italian"},
    {1041, L"Japanese"},
    {1049, L"Russian"},
    {2058, L"Spanish"}, {3082, L"Spanish"}, {4106, L"Spanish"}, {5130, L"Spanish"},
    {6154, L"Spanish"}, {7178, L"Spanish"}, {8202, L"Spanish"}, {9226, L"Spanish"},
    {10250, L"Spanish"}, {11274, L"Spanish"}, {12298, L"Spanish"}, {13322, L"Spanish"},
    {14346, L"Spanish"}, {15370, L"Spanish"}, {16394, L"Spanish"}, {17418, L"Spanish"},
    {18442, L"Spanish"}, {19466, L"Spanish"}, {20490, L"Spanish"},
    {1037, L"Hebrew"},
    {1031, L"German"}, {2055, L"German"}, {3079, L"German"}, {4103, L"German"}, {5127, L"German"},
    {1055, L"Turkish"},
    {1045, L"Polish"},
    {1053, L"Swedish"}, {2077, L"Swedish"},
    {1044, L"Norwegian"}, {2068, L"Norwegian"},
    {1046, L"Portuguese"}, {2070, L"Portuguese"},
};

// Loads the bitmap library for a left-to-right language; records in
// m_bUseBmpDll whether pictures come from it. False only when it was needed
// and could not be loaded.
bool LoadBitmapLibrary(LanguageState& state, const std::wstring& folder, const wchar_t* bitmapLibrary) {
    if (IsRightToLeftLanguage(state.m_szLanguage)) {
        state.m_bUseBmpDll = 0;
        return true;
    }
    state.m_bUseBmpDll = 1;
    const std::wstring path = folder + (bitmapLibrary ? bitmapLibrary : L"");
    state.m_hBmpDll = LoadLibraryW(path.c_str());
    if (!state.m_hBmpDll) {
        plat::TraceF(L"bitmap library not loaded: %ls (error %lu)", path.c_str(), GetLastError());
        return false;
    }
    return true;
}

}  // namespace

const wchar_t* BitmapLibraryName() {
#ifdef _WIN64
    return L"Bmprcx64.dll";
#else
    return L"Bmprcx32.dll";
#endif
}

bool IsRightToLeftLanguage(const wchar_t* language) {
    return language && (wcscmp(language, L"Arabic") == 0 || wcscmp(language, L"Hebrew") == 0);
}

const wchar_t* LanguageNameForUiLanguage(LANGID uiLanguage) {
    for (const UiLanguageRow& row : kUiLanguages)
        if (row.id == uiLanguage) return row.name;
    return L"English";
}

void GetUiLanguageName(wchar_t* out, size_t cap, LANGID uiLanguage) {
    plat::CopyTrunc(out, cap, LanguageNameForUiLanguage(uiLanguage));
}

bool ReadStoredLanguage(wchar_t (&out)[128]) {
    out[0] = L'\0';
    cfg::ConfigList printers;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/PriName/PriModel", L"ID", printers);
    for (const cfg::ConfigEntry& printer : printers) {
        const std::wstring keyPath = std::wstring(L"Software\\") + printer.szText;
        plat::RegKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                          key.put()) != ERROR_SUCCESS)
            continue;
        // The first product key that opens decides, with or without a value.
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(key.get(), L"Language", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
            type == REG_SZ && bytes > 0) {
            std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
            if (RegQueryValueExW(key.get(), L"Language", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                                 &size) == ERROR_SUCCESS && type == REG_SZ) {
                value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
                plat::CopyTrunc(out, value);
            }
        }
        plat::TraceF(L"stored language of %ls: \"%ls\"", printer.szText, out);
        return true;
    }
    return false;
}

void BuildOfferedLanguages(LanguageState& state, const std::wstring& folder, const wchar_t* archTag) {
    state.m_Languages.clear();
    cfg::ConfigList libraries;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/DLL_SETUP/source_dll", L"ID", libraries);
    for (const cfg::ConfigEntry& lib : libraries) {
        const std::wstring path = folder + cfg::ReplaceSystembit(lib.szText, archTag);
        if (plat::PathExists(path)) state.m_Languages.push_back({lib.szAttr, lib.szAttr});
    }
}

void ChooseLanguage(LanguageState& state, const wchar_t* commandLineLanguage, LANGID uiLanguage) {
    state.m_bLanguageLocked = 0;
    if (commandLineLanguage && *commandLineLanguage) {
        plat::CopyTrunc(state.m_szLanguage, commandLineLanguage);
        return;
    }
    wchar_t stored[128] = {};
    if (ReadStoredLanguage(stored)) {
        plat::CopyTrunc(state.m_szLanguage, stored);
        state.m_bLanguageLocked = 1;
        return;
    }
    const std::wstring ui = LanguageNameForUiLanguage(uiLanguage);
    const std::vector<LanguageItem>& offered = state.m_Languages;
    auto isOffered = [&offered](const std::wstring& name) {
        for (const LanguageItem& item : offered)
            if (item.name == name) return true;
        return false;
    };
    if (isOffered(ui))
        plat::CopyTrunc(state.m_szLanguage, ui);
    else if (offered.empty() || isOffered(L"English"))
        plat::CopyTrunc(state.m_szLanguage, L"English");
    else
        plat::CopyTrunc(state.m_szLanguage, offered.front().name);
    if (cfg::IsFamilyDriverInstalled()) state.m_bLanguageLocked = 1;
}

void ApplyDisplayNames(LanguageState& state) {
    for (LanguageItem& item : state.m_Languages)
        if (const LanguageInfo* info = FindLanguage(item.name.c_str())) item.display = info->display;
}

void FreeLanguageModules(LanguageState& state) {
    const HINSTANCE current = plat::ResourceModule();
    if (state.m_hLangDll || (state.m_hBmpDll && current == state.m_hBmpDll)) plat::SetResourceModule(nullptr);
    if (state.m_hLangDll) FreeLibrary(std::exchange(state.m_hLangDll, nullptr));
    if (state.m_hBmpDll) FreeLibrary(std::exchange(state.m_hBmpDll, nullptr));
}

bool LoadLanguageModules(LanguageState& state, const std::wstring& folder, const wchar_t* archTag,
                         const wchar_t* bitmapLibrary) {
    // An empty language (a product key without "Language") names no library.
    wchar_t source[1024] = {};
    if (state.m_szLanguage[0] != L'\0')
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/DLL_SETUP/source_dll", state.m_szLanguage, source);
    const std::wstring path = folder + cfg::ReplaceSystembit(source, archTag);

    FreeLanguageModules(state);
    if (!LoadBitmapLibrary(state, folder, bitmapLibrary)) return false;

    if (source[0] == L'\0') {
        plat::TraceF(L"no language library for \"%ls\"", state.m_szLanguage);
        return false;
    }
    state.m_hLangDll = LoadLibraryW(path.c_str());
    if (!state.m_hLangDll) {
        plat::TraceF(L"language library not loaded: %ls (error %lu)", path.c_str(), GetLastError());
        return false;
    }
    plat::SetResourceModule(state.m_hLangDll);
    return true;
}

bool LoadUninstallLanguageModules(LanguageState& state, const std::wstring& folder, const wchar_t* bitmapLibrary) {
    FreeLanguageModules(state);
    state.m_bUseBmpDll = 0;
    cfg::ConfigList libraries;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/DLL_UNSETUP/source_dll", L"ID", libraries);
    for (const cfg::ConfigEntry& lib : libraries) {
        const std::wstring path = folder + plat::FileNamePart(lib.szText);
        if (!plat::PathExists(path)) continue;
        // The first library present decides, even when it does not load.
        state.m_hLangDll = LoadLibraryW(path.c_str());
        if (!state.m_hLangDll) {
            plat::TraceF(L"language library not loaded: %ls (error %lu)", path.c_str(), GetLastError());
            return false;
        }
        plat::SetResourceModule(state.m_hLangDll);
        if (lib.szAttr[0] != L'\0') plat::CopyTrunc(state.m_szLanguage, lib.szAttr);
        LoadBitmapLibrary(state, folder, bitmapLibrary);
        return true;
    }
    return false;
}

void GetLanguageSuffix(LanguageState& state) {
    state.m_szLangSuffix[0] = L'\0';
    if (state.m_szLanguage[0] != L'\0')
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/SUFFIX/suffixName", state.m_szLanguage, state.m_szLangSuffix);
    if (state.m_szLangSuffix[0] != L'\0') return;
    // English, Polish, Portuguese and every unknown name give "enus".
    const LanguageInfo* info = FindLanguage(state.m_szLanguage);
    plat::CopyTrunc(state.m_szLangSuffix, info ? info->suffix : L"enus");
}

}  // namespace env
