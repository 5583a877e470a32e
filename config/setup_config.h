// The setup configuration document SetupCFG.xml beside the program, and the
// queries every other module reads it through.
//
// One document per process, loaded by the wizard hosts' constructors and
// read-only afterwards (worker threads read it concurrently without locks).
// Query paths, attribute names and keys are ASCII; values come back UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace cfg {

// One query result: an attribute value and a node text, 1023 characters each.
struct ConfigEntry {
    wchar_t szAttr[1024];
    wchar_t szText[1024];
};
using ConfigList = std::vector<ConfigEntry>;

// Loads SetupCFG.xml from the program folder. When it is missing or not
// well-formed: debugger line "XMLload fail" and the process ends with exit
// code 1, without any window.
void LoadSetupConfig();
// Loads the given file; false when it is missing or malformed (the document
// is then empty).
bool LoadSetupConfigFile(const std::wstring& path);
// Loads from text (tests).
bool LoadSetupConfigText(const std::string& utf8);
bool IsSetupConfigLoaded();

// Text of the first node the XPath selects; empty when nothing is selected
// or the selection is an attribute. False, buffer untouched, only when the
// document has no root element.
bool GetConfigText(const wchar_t* xpath, wchar_t* out, size_t cap);
template <size_t N>
bool GetConfigText(const wchar_t* xpath, wchar_t (&out)[N]) {
    return GetConfigText(xpath, out, N);
}

// Keyed look-up: the text of the first selected node that has an attribute
// (any name) whose value equals `key` exactly. False, buffer untouched, when
// none does.
bool GetConfigTextByValue(const wchar_t* xpath, const wchar_t* key, wchar_t* out, size_t cap);
template <size_t N>
bool GetConfigTextByValue(const wchar_t* xpath, const wchar_t* key, wchar_t (&out)[N]) {
    return GetConfigTextByValue(xpath, key, out, N);
}

// The two look-ups above as texts of at most 1023 characters, empty when
// nothing is found.
std::wstring ConfigText(const wchar_t* xpath);
std::wstring ConfigTextByValue(const wchar_t* xpath, const wchar_t* key);

// Every selected node: {value of attribute `attrName` or empty; text}.
void GetConfigList(const wchar_t* xpath, const wchar_t* attrName, ConfigList& list);

// The first element on the '/'-separated element path and every later
// sibling under the same parent, whatever their names.
void GetConfigSiblingList(const wchar_t* elementPath, const wchar_t* attrName, ConfigList& list);

// Keyed list: for every selected node and each of its attributes whose value
// equals `key`: {key; text}.
void GetConfigListByValue(const wchar_t* xpath, const wchar_t* key, ConfigList& list);

// "x64" in the 64-bit build, "x32" in the 32-bit build.
const wchar_t* ArchTag();
// Every "%Systembit%" replaced by `tag`.
std::wstring ReplaceSystembit(std::wstring value, const wchar_t* tag = ArchTag());

// "/XPSTYLE" for OS codes 7, 8, 12 and 14, "/W7STYLE" for every other code.
const wchar_t* CopyFilesStyleForOsCode(unsigned osCode);
const wchar_t* GetCopyFilesStyle();

// Connection methods a model offers by its Model_Info type: "1" USB only,
// "2" USB and wired network, "4" USB and wireless (one-key and ordinary),
// anything else every method.
struct ConnectionMethods {
    bool usb;
    bool wired;
    bool wireless;
    bool oneKeyWireless;
};
ConnectionMethods ConnectionMethodsForType(const wchar_t* type);

// The Dir values: /SERTUP_INFO/CreateFolder/Folder/Dir and its later
// siblings, in document order.
std::vector<std::wstring> GetDirValues();
// System directory + each Dir value followed by a backslash + uisname:
// the folder the uninstall program runs from.
std::wstring GetUninstallFolder();

// Copies the document file into the uninstall program folder (overwriting;
// one retry, then the copy's attributes set to normal). Not reported.
void CopySetupConfigToUninstallFolder();

// True when a local printer uses a driver named like one of the models.
bool IsFamilyDriverInstalled();

}  // namespace cfg
