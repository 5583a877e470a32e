#include "config/setup_config.h"

#include <winspool.h>

#include <cstdlib>
#include <pugixml.hpp>

#include "env/os_checks.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "platform/text.h"

namespace cfg {

namespace {

pugi::xml_document g_doc;
bool g_loaded = false;

bool HasRoot() { return g_loaded && g_doc.document_element(); }

// Parses the document from its bytes, in whatever encoding they declare.
bool LoadBuffer(const std::string& bytes) {
    g_doc.reset();
    g_loaded = static_cast<bool>(g_doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default,
                                                   pugi::encoding_auto));
    if (!g_loaded) g_doc.reset();
    return g_loaded;
}

void Fill(ConfigEntry& e, const char* attr, const char* text) {
    plat::CopyTrunc(e.szAttr, plat::Utf8ToWide(attr ? attr : ""));
    plat::CopyTrunc(e.szText, plat::Utf8ToWide(text ? text : ""));
}

// Evaluates an XPath from the document node; an invalid query selects nothing.
pugi::xpath_node_set Select(const wchar_t* xpath) {
    if (!HasRoot() || !xpath) return {};
    try {
        return g_doc.select_nodes(plat::WideToMultiByte(xpath).c_str());
    } catch (const pugi::xpath_exception& e) {
        plat::TraceF(L"XPath error: %hs", e.what());
        return {};
    }
}

}  // namespace

void LoadSetupConfig() {
    if (!LoadSetupConfigFile(plat::ProgramFolder() + L"SetupCFG.xml")) {
        plat::Trace(L"XMLload fail");
        ExitProcess(1);
    }
}

bool LoadSetupConfigFile(const std::wstring& path) {
    g_doc.reset();
    g_loaded = false;
    // Read the bytes ourselves (binary, no text translation): pugixml's
    // narrow file API cannot open every UTF-16 path.
    plat::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string bytes;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart >= (64LL << 20)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        !(ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size()))
        return false;
    return LoadBuffer(bytes);
}

bool LoadSetupConfigText(const std::string& utf8) { return LoadBuffer(utf8); }

bool IsSetupConfigLoaded() { return g_loaded; }

bool GetConfigText(const wchar_t* xpath, wchar_t* out, size_t cap) {
    if (!HasRoot()) return false;
    std::wstring value;
    try {
        pugi::xpath_node n = g_doc.select_node(plat::WideToMultiByte(xpath ? xpath : L"").c_str());
        if (n.node()) value = plat::Utf8ToWide(n.node().child_value());
    } catch (const pugi::xpath_exception& e) {
        plat::TraceF(L"XPath error: %hs", e.what());
    }
    plat::CopyTrunc(out, cap, value);
    return true;
}

bool GetConfigTextByValue(const wchar_t* xpath, const wchar_t* key, wchar_t* out, size_t cap) {
    const std::string k = plat::WideToMultiByte(key ? key : L"");
    for (const pugi::xpath_node& xn : Select(xpath)) {
        for (pugi::xml_attribute a : xn.node().attributes()) {
            if (k == a.value()) {
                plat::CopyTrunc(out, cap, plat::Utf8ToWide(xn.node().child_value()));
                return true;
            }
        }
    }
    return false;
}

std::wstring ConfigText(const wchar_t* xpath) {
    wchar_t text[1024] = {};
    GetConfigText(xpath, text);
    return text;
}

std::wstring ConfigTextByValue(const wchar_t* xpath, const wchar_t* key) {
    wchar_t text[1024] = {};
    GetConfigTextByValue(xpath, key, text);
    return text;
}

void GetConfigList(const wchar_t* xpath, const wchar_t* attrName, ConfigList& list) {
    list.clear();
    const std::string name = plat::WideToMultiByte(attrName ? attrName : L"");
    for (const pugi::xpath_node& xn : Select(xpath)) {
        ConfigEntry e;
        pugi::xml_node n = xn.node();
        Fill(e, name.empty() ? "" : n.attribute(name.c_str()).value(), n.child_value());
        list.push_back(e);
    }
}

void GetConfigSiblingList(const wchar_t* elementPath, const wchar_t* attrName, ConfigList& list) {
    list.clear();
    if (!HasRoot() || !elementPath) return;
    const std::string path = plat::WideToMultiByte(elementPath);
    const std::string name = plat::WideToMultiByte(attrName ? attrName : L"");
    pugi::xml_node first = g_doc.first_element_by_path(path.c_str());
    for (pugi::xml_node n = first; n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        ConfigEntry e;
        Fill(e, name.empty() ? "" : n.attribute(name.c_str()).value(), n.child_value());
        list.push_back(e);
    }
}

void GetConfigListByValue(const wchar_t* xpath, const wchar_t* key, ConfigList& list) {
    list.clear();
    const std::string k = plat::WideToMultiByte(key ? key : L"");
    for (const pugi::xpath_node& xn : Select(xpath)) {
        for (pugi::xml_attribute a : xn.node().attributes()) {
            if (k == a.value()) {
                ConfigEntry e;
                Fill(e, a.value(), xn.node().child_value());
                list.push_back(e);
            }
        }
    }
}

const wchar_t* ArchTag() {
#ifdef _WIN64
    return L"x64";
#else
    return L"x32";
#endif
}

std::wstring ReplaceSystembit(std::wstring value, const wchar_t* tag) {
    return plat::ReplaceAll(std::move(value), L"%Systembit%", tag);
}

const wchar_t* CopyFilesStyleForOsCode(unsigned osCode) {
    switch (osCode) {
    case 7:
    case 8:
    case 12:
    case 14:
        return L"/XPSTYLE";
    default:
        return L"/W7STYLE";
    }
}

const wchar_t* GetCopyFilesStyle() { return CopyFilesStyleForOsCode(env::GetOsCode()); }

ConnectionMethods ConnectionMethodsForType(const wchar_t* type) {
    const std::wstring t = type ? type : L"";
    if (t == L"1") return {true, false, false, false};
    if (t == L"2") return {true, true, false, false};
    if (t == L"4") return {true, false, true, true};
    return {true, true, true, true};
}

std::vector<std::wstring> GetDirValues() {
    ConfigList dirs;
    GetConfigSiblingList(L"/SERTUP_INFO/CreateFolder/Folder/Dir", L"", dirs);
    std::vector<std::wstring> out;
    for (const ConfigEntry& e : dirs) out.emplace_back(e.szText);
    return out;
}

std::wstring GetUninstallFolder() {
    std::wstring folder = plat::SystemDirectory();
    for (const std::wstring& dir : GetDirValues()) folder += dir + L"\\";
    wchar_t uis[260] = {};
    GetConfigText(L"/SERTUP_INFO/CreateFolder/uisname", uis);
    return folder + uis;
}

void CopySetupConfigToUninstallFolder() {
    const std::wstring src = plat::ProgramFolder() + L"SetupCFG.xml";
    const std::wstring dst = GetUninstallFolder() + L"\\SetupCFG.xml";
    plat::CopyFileWithRetry(src, dst);
}

bool IsFamilyDriverInstalled() {
    ConfigList models;
    GetConfigSiblingList(L"/SERTUP_INFO/MODEL/Model_Info", L"type", models);
    DWORD needed = 0, count = 0;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return false;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (!printers[i].pDriverName) continue;
        for (const ConfigEntry& m : models)
            if (wcscmp(printers[i].pDriverName, m.szText) == 0) return true;
    }
    return false;
}

}  // namespace cfg
