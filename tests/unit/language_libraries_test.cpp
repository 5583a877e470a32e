// The built language resource libraries of the demo product: Setup_<suffix>.dll
// and Unsetup_<suffix>.dll of every language carry every string id of the
// program's own table plus the library-only ids, every dialog template of
// the program with the same controls (right to left for Arabic and Hebrew),
// texts in their language with the markup the program relies on, and, for
// Arabic and Hebrew, the pictures.
//
// The libraries are looked for in DRV_PRODUCT_OUT (set by CTest), else in
// product-out beside the test program's folder; the program's own resources
// come from programres.dll, built beside the test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "env/texts.h"
#include "platform/dialog.h"
#include "platform/module.h"
#include "platform/text.h"
#include "res/resource.h"

namespace {

struct Language {
    const wchar_t* name;    // language name of the configuration document
    const wchar_t* suffix;  // file-name suffix of its libraries
    LANGID langId;          // language of its resources
    bool rtl;
};

const Language kLanguages[] = {
    {L"Arabic", L"ar", MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA), true},
    {L"Simplified_Chinese", L"zhcn", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), false},
    {L"Traditional_Chinese", L"zhtw", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), false},
    {L"English", L"enus", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), false},
    {L"French", L"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), false},
    {L"Italian", L"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), false},
    {L"Japanese", L"ja", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), false},
    {L"Russian", L"ru", MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), false},
    {L"Spanish", L"esmx", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MEXICAN), false},
    {L"Hebrew", L"he", MAKELANGID(LANG_HEBREW, SUBLANG_DEFAULT), true},
    {L"German", L"de", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), false},
    {L"Turkish", L"tr", MAKELANGID(LANG_TURKISH, SUBLANG_DEFAULT), false},
    {L"Polish", L"pl", MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), false},
    {L"Swedish", L"sv", MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH), false},
    {L"Norwegian", L"no", MAKELANGID(LANG_NORWEGIAN, SUBLANG_NORWEGIAN_BOKMAL), false},
    {L"Portuguese", L"ptbr", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), false},
};

// Ids that only the language libraries carry.
constexpr UINT kLibraryOnlyFirst = 253, kLibraryOnlyLast = 260;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

// The product-out folder of this build, with a final backslash.
std::wstring ProductOut() {
    std::wstring dir = Env(L"DRV_PRODUCT_OUT");
    if (dir.empty()) dir = plat::ProgramFolder() + L"..\\product-out";
    if (dir.back() != L'\\') dir += L'\\';
    return dir;
}

std::wstring LibraryPath(const wchar_t* kind, const Language& lang) {
    return ProductOut() + L"Language\\x64\\" + kind + L"_" + lang.suffix + L".dll";
}

// A library loaded as a data file for reading its resources.
class DataLibrary {
public:
    explicit DataLibrary(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)), m_error(GetLastError()) {}
    ~DataLibrary() {
        if (m_module) FreeLibrary(m_module);
    }
    DataLibrary(const DataLibrary&) = delete;
    DataLibrary& operator=(const DataLibrary&) = delete;
    HMODULE get() const { return m_module; }
    DWORD error() const { return m_error; }

private:
    HMODULE m_module;
    DWORD m_error;
};

// Integer ids of one resource type, each with the languages it exists in.
std::map<UINT, std::set<LANGID>> ResourcesOf(HMODULE module, LPCWSTR type) {
    std::map<UINT, std::set<LANGID>> found;
    EnumResourceNamesW(
        module, type,
        [](HMODULE m, LPCWSTR t, LPWSTR name, LONG_PTR param) -> BOOL {
            if (!IS_INTRESOURCE(name)) return TRUE;
            auto& out = *reinterpret_cast<std::map<UINT, std::set<LANGID>>*>(param);
            auto& langs = out[static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name))];
            EnumResourceLanguagesW(
                m, t, name,
                [](HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR p) -> BOOL {
                    reinterpret_cast<std::set<LANGID>*>(p)->insert(lang);
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&langs));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&found));
    return found;
}

const BYTE* ResourceBytes(HMODULE module, LPCWSTR type, UINT id, LANGID lang, DWORD* size = nullptr) {
    HRSRC res = FindResourceExW(module, type, MAKEINTRESOURCEW(id), lang);
    if (!res) return nullptr;
    if (size) *size = SizeofResource(module, res);
    HGLOBAL mem = LoadResource(module, res);
    return mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
}

// Every string of the string table, by id; `languages` collects the
// languages of its blocks.
std::map<UINT, std::wstring> StringsOf(HMODULE module, std::set<LANGID>* languages = nullptr) {
    std::map<UINT, std::wstring> strings;
    for (const auto& [block, langs] : ResourcesOf(module, RT_STRING)) {
        if (languages) languages->insert(langs.begin(), langs.end());
        auto* p = reinterpret_cast<const WCHAR*>(ResourceBytes(module, RT_STRING, block, *langs.begin()));
        if (!p) continue;
        for (UINT i = 0; i < 16; ++i, p += 1 + *p)
            if (*p) strings[(block - 1) * 16 + i] = std::wstring(p + 1, *p);
    }
    return strings;
}

// What a dialog template says about itself and its controls.
struct Template {
    DWORD style = 0, exStyle = 0;
    std::vector<DWORD> controlIds;
    std::vector<std::wstring> texts;  // caption and control texts
};

// Reads DLGTEMPLATE and DLGTEMPLATEEX resources.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* p) : m_p(p) {}

    Template Read() {
        Template t;
        const bool ex = Peek(2) == 0xFFFF;
        WORD count = 0;
        if (ex) {
            Skip(8);  // version, signature, help id
            t.exStyle = Dword();
            t.style = Dword();
        } else {
            t.style = Dword();
            t.exStyle = Dword();
        }
        count = Word();
        Skip(8);  // x, y, cx, cy
        SzOrOrd();  // menu
        SzOrOrd();  // class
        t.texts.push_back(SzOrOrd());
        if (t.style & DS_SETFONT) {
            Skip(ex ? 6 : 2);  // point size (weight, italic, charset)
            SzOrOrd();
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            if (ex) Skip(4);  // help id
            Skip(8);          // styles
            Skip(8);          // x, y, cx, cy
            t.controlIds.push_back(ex ? Dword() : Word());
            SzOrOrd();  // class
            t.texts.push_back(SzOrOrd());
            Skip(Word());  // creation data
        }
        return t;
    }

private:
    WORD Peek(size_t offset) const { return *reinterpret_cast<const WORD*>(m_p + m_at + offset); }
    WORD Word() {
        WORD w = Peek(0);
        m_at += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d = *reinterpret_cast<const DWORD*>(m_p + m_at);
        m_at += 4;
        return d;
    }
    void Skip(size_t n) { m_at += n; }
    void Align() { m_at = (m_at + 3) & ~size_t(3); }
    std::wstring SzOrOrd() {
        WORD first = Word();
        if (first == 0) return L"";
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring s(1, static_cast<wchar_t>(first));
        for (WORD c = Word(); c; c = Word()) s += static_cast<wchar_t>(c);
        return s;
    }

    const BYTE* m_p;
    size_t m_at = 0;
};

std::map<UINT, Template> TemplatesOf(HMODULE module, std::set<LANGID>* languages = nullptr) {
    std::map<UINT, Template> templates;
    for (const auto& [id, langs] : ResourcesOf(module, RT_DIALOG)) {
        if (languages) languages->insert(langs.begin(), langs.end());
        if (const BYTE* p = ResourceBytes(module, RT_DIALOG, id, *langs.begin()))
            templates[id] = TemplateReader(p).Read();
    }
    return templates;
}

// The pieces of a text that the program and its controls interpret: link
// markup, the heading placeholder, format markers and line breaks.
std::vector<std::wstring> Markup(const std::wstring& text) {
    static const std::wregex pattern(LR"(</?a>|%Text%|%[-+ #0]*[0-9]*(\.[0-9]+)?(l|ll|h)?[sdiuxXcSf]|\n)");
    std::vector<std::wstring> pieces;
    for (std::wsregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) pieces.push_back(it->str());
    return pieces;
}

// Chinese and Japanese characters and punctuation, full-width forms.
bool HasCjkCharacters(const std::wstring& text) {
    for (wchar_t c : text)
        if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF01 && c <= 0xFF5E)) return true;
    return false;
}

// The program's own table and templates.
struct ProgramResources {
    ProgramResources() : library(plat::ProgramFolder() + L"programres.dll") {
        strings = StringsOf(library.get());
        templates = TemplatesOf(library.get());
    }
    DataLibrary library;
    std::map<UINT, std::wstring> strings;
    std::map<UINT, Template> templates;
};

template <typename K, typename V>
std::set<K> Keys(const std::map<K, V>& map) {
    std::set<K> keys;
    for (const auto& entry : map) keys.insert(entry.first);
    return keys;
}

std::string Describe(const std::set<UINT>& ids) {
    std::string out;
    for (UINT id : ids) out += std::to_string(id) + " ";
    return out;
}

}  // namespace

// The file names the demo product's configuration document gives are the
// files the build makes.
TEST(LanguageLibraries, DocumentNamesTheBuiltFiles) {
    const std::wstring setup = Env(L"DRV_PRODUCT_SETUP");
    ASSERT_FALSE(setup.empty()) << "DRV_PRODUCT_SETUP is not set";
    ASSERT_TRUE(cfg::LoadSetupConfigFile(setup + L"\\SetupCFG.xml"));
    for (const wchar_t* element : {L"/SERTUP_INFO/DLL_SETUP/source_dll", L"/SERTUP_INFO/DLL_UNSETUP/source_dll"}) {
        cfg::ConfigList entries;
        cfg::GetConfigSiblingList(element, L"ID", entries);
        std::set<std::wstring> names;
        for (const cfg::ConfigEntry& entry : entries) {
            names.insert(entry.szAttr);
            const std::wstring path = ProductOut() + cfg::ReplaceSystembit(entry.szText, L"x64");
            EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << plat::WideToUtf8(path);
        }
        for (const Language& lang : kLanguages)
            EXPECT_TRUE(names.count(lang.name)) << plat::WideToUtf8(element) << " lacks " << plat::WideToUtf8(lang.name);
    }
    cfg::LoadSetupConfigText("");
}

// Both libraries of every language: the program's string ids plus the
// library-only ids, the program's templates with the same controls, one
// language throughout, right-to-left layout exactly for Arabic and Hebrew.
TEST(LanguageLibraries, CarryEveryStringAndTemplateOfTheProgram) {
    const ProgramResources program;
    ASSERT_FALSE(program.strings.empty());
    ASSERT_FALSE(program.templates.empty());
    std::set<UINT> expectedIds = Keys(program.strings);
    for (UINT id = kLibraryOnlyFirst; id <= kLibraryOnlyLast; ++id) {
        EXPECT_FALSE(program.strings.count(id)) << id << " is meant for the libraries only";
        expectedIds.insert(id);
    }

    for (const Language& lang : kLanguages) {
        for (const wchar_t* kind : {L"Setup", L"Unsetup"}) {
            const std::wstring path = LibraryPath(kind, lang);
            SCOPED_TRACE(plat::WideToUtf8(path));
            DataLibrary lib(path);
            ASSERT_NE(lib.get(), nullptr) << "error " << lib.error();

            std::set<LANGID> languages;
            const auto strings = StringsOf(lib.get(), &languages);
            EXPECT_EQ(Describe(Keys(strings)), Describe(expectedIds));
            const auto templates = TemplatesOf(lib.get(), &languages);
            EXPECT_EQ(languages, std::set<LANGID>{lang.langId});

            EXPECT_EQ(Describe(Keys(templates)), Describe(Keys(program.templates)));
            for (const auto& [id, own] : program.templates) {
                auto it = templates.find(id);
                if (it == templates.end()) continue;
                const Template& t = it->second;
                EXPECT_EQ(t.controlIds, own.controlIds) << "template " << id;
                EXPECT_EQ(t.style, own.style) << "template " << id;
                EXPECT_EQ(t.exStyle & ~DWORD(WS_EX_LAYOUTRTL), own.exStyle) << "template " << id;
                EXPECT_EQ((t.exStyle & WS_EX_LAYOUTRTL) != 0, lang.rtl) << "template " << id;
            }

            // Right-to-left languages take their pictures from this library.
            if (lang.rtl) {
                const auto bitmaps = ResourcesOf(lib.get(), RT_BITMAP);
                for (UINT id : {IDB_ICON_WIRED, IDB_ICON_USB, IDB_ICON_WIRELESS, IDB_BACKGROUND, IDB_BACKGROUND_OPTIONS,
                                IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_HOVER, IDB_BUTTON_DISABLED,
                                IDB_BACKGROUND_SMALL, IDB_ICON_ONEKEY_WIRELESS})
                    EXPECT_TRUE(bitmaps.count(id)) << "bitmap " << id;
            }
        }
    }
}

// Translations keep what the program relies on: link markup, the heading
// placeholder, format markers and line breaks in the same order; shortcut
// names stay file names. The Simplified Chinese library has the program's
// texts unchanged, and languages written without Chinese or Japanese
// characters have none left in any text or template.
TEST(LanguageLibraries, TranslationsKeepMarkupAndLeaveNoChineseBehind) {
    const ProgramResources program;
    ASSERT_FALSE(program.strings.empty());
    for (const Language& lang : kLanguages) {
        const std::wstring path = LibraryPath(L"Setup", lang);
        SCOPED_TRACE(plat::WideToUtf8(path));
        DataLibrary lib(path);
        ASSERT_NE(lib.get(), nullptr) << "error " << lib.error();
        const auto strings = StringsOf(lib.get());
        const bool chinese = wcscmp(lang.suffix, L"zhcn") == 0;
        const bool cjkScript = chinese || wcscmp(lang.suffix, L"zhtw") == 0 || wcscmp(lang.suffix, L"ja") == 0;

        for (const auto& [id, text] : strings) {
            auto own = program.strings.find(id);
            if (own != program.strings.end()) {
                EXPECT_EQ(Markup(text), Markup(own->second)) << "text " << id;
                if (chinese) {
                    EXPECT_EQ(text, own->second) << "text " << id;
                }
                // Start-menu shortcut names: "\<name>.lnk".
                const std::wstring& o = own->second;
                if (o.size() > 4 && o.compare(o.size() - 4, 4, L".lnk") == 0) {
                    ASSERT_GT(text.size(), 5u) << "text " << id;
                    EXPECT_EQ(text.front(), L'\\') << "text " << id;
                    EXPECT_EQ(text.substr(text.size() - 4), L".lnk") << "text " << id;
                    EXPECT_EQ(text.find_first_of(L"\\/:*?\"<>|", 1), std::wstring::npos) << "text " << id;
                }
            }
            if (!cjkScript) {
                EXPECT_FALSE(HasCjkCharacters(text)) << "text " << id;
            }
        }
        // The scan application's name also names a desktop shortcut.
        auto scan = strings.find(243);
        ASSERT_NE(scan, strings.end());
        EXPECT_EQ(scan->second.find_first_of(L"\\/:*?\"<>|"), std::wstring::npos);

        if (!cjkScript) {
            for (const auto& [id, t] : TemplatesOf(lib.get()))
                for (const std::wstring& text : t.texts)
                    EXPECT_FALSE(HasCjkCharacters(text)) << "template " << id << ": " << plat::WideToUtf8(text);
        }
    }
}

// Loaded as the program loads it, a library is the resource module: the
// program's text look-up and dialog creation find its texts and layout.
TEST(LanguageLibraries, ProgramFindsTextsAndTemplatesInTheLoadedLibrary) {
    struct Row {
        const wchar_t* suffix;
        UINT id;
        const wchar_t* text;
    } rows[] = {
        {L"enus", 158, L"Next"},
        {L"enus", 254, L"One-touch wireless setup"},
        {L"de", 159, L"Zurück"},
        {L"fr", 165, L"Installer"},
        {L"esmx", 160, L"Salir"},
        {L"ja", 158, L"次へ"},
        {L"zhtw", 235, L"連接埠"},
        {L"zhcn", 158, L"下一步"},
        {L"zhcn", 254, L"一键无线安装"},
        {L"ru", 220, L"Готово"},
        {L"ar", 158, L"التالي"},
        {L"he", 160, L"יציאה"},
    };
    // The completion page's text comes from its template alone.
    const std::map<std::wstring, std::wstring> completion = {
        {L"enus", L"Installation complete"}, {L"zhcn", L"安装完成"}, {L"ar", L"اكتمل التثبيت"}, {L"he", L"ההתקנה הושלמה"}};

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    for (const Language& lang : kLanguages) {
        const std::wstring path = LibraryPath(L"Setup", lang);
        SCOPED_TRACE(plat::WideToUtf8(path));
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        plat::SetResourceModule(module);

        for (const Row& row : rows) {
            if (wcscmp(row.suffix, lang.suffix) == 0) {
                EXPECT_EQ(env::MessageText(row.id), row.text) << row.id;
            }
        }

        HWND page = CreateDialogParamW(plat::ResourceModule(), MAKEINTRESOURCEW(IDD_INSTALL_COMPLETE), parent,
                                       [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        EXPECT_NE(page, nullptr) << "error " << GetLastError();
        if (page) {
            EXPECT_EQ((GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, lang.rtl);
            wchar_t text[256] = {};
            GetDlgItemTextW(page, 1043, text, 256);
            auto it = completion.find(lang.suffix);
            if (it != completion.end()) {
                EXPECT_EQ(std::wstring(text), it->second);
            }
            EXPECT_NE(text[0], L'\0');
            DestroyWindow(page);
        }
        plat::SetResourceModule(nullptr);
        FreeLibrary(module);
    }
    DestroyWindow(parent);
}

// The install host's window class registered as the program registers it:
// for the program's own module, not global. A registration that other tests
// left behind is set aside for the lifetime of the object and put back.
class ProgramWindowClass {
public:
    static constexpr const wchar_t* kName = L"VELLUM SFP WNDCLASS_INS";

    ProgramWindowClass() {
        if (GetClassInfoW(plat::ProgramModule(), kName, &m_saved))
            m_restore = UnregisterClassW(kName, plat::ProgramModule()) != FALSE;
        WNDCLASSW wc = {};
        GetClassInfoW(nullptr, L"#32770", &wc);
        wc.lpszClassName = kName;
        wc.hInstance = plat::ProgramModule();
        m_atom = RegisterClassW(&wc);
    }
    ~ProgramWindowClass() {
        if (m_atom) UnregisterClassW(kName, plat::ProgramModule());
        if (m_restore) {
            m_saved.lpszClassName = kName;
            RegisterClassW(&m_saved);
        }
    }
    ProgramWindowClass(const ProgramWindowClass&) = delete;
    ProgramWindowClass& operator=(const ProgramWindowClass&) = delete;
    bool Registered() const { return m_atom != 0; }

private:
    WNDCLASSW m_saved = {};
    bool m_restore = false;
    ATOM m_atom = 0;
};

// The wizard hosts' templates name the window class that the program
// registers for its own module. Created through the program's dialog layer
// while a language library is the resource module, the install host must
// still find that class, and Arabic lays it out right to left.
TEST(LanguageLibraries, InstallHostTemplateFromALibraryFindsTheProgramsWindowClass) {
    const ProgramWindowClass windowClass;
    ASSERT_TRUE(windowClass.Registered()) << "error " << GetLastError();

    for (const Language& lang : kLanguages) {
        if (wcscmp(lang.suffix, L"enus") != 0 && wcscmp(lang.suffix, L"ar") != 0) continue;
        const std::wstring path = LibraryPath(L"Setup", lang);
        SCOPED_TRACE(plat::WideToUtf8(path));
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        plat::SetResourceModule(module);
        {
            plat::Dialog host(IDD_MAIN_MANAGE);
            EXPECT_TRUE(host.Create(nullptr)) << "error " << GetLastError();
            if (HWND hwnd = host.GetSafeHwnd()) {
                wchar_t name[64] = {};
                GetClassNameW(hwnd, name, 64);
                EXPECT_STREQ(name, ProgramWindowClass::kName);
                EXPECT_EQ((GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, lang.rtl);
                host.DestroyWindow();
            }
        }
        plat::SetResourceModule(nullptr);
        FreeLibrary(module);
    }
}
