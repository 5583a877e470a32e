#include "tests/support/windows_state.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <winspool.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace testsupport {

std::vector<Queue> LocalQueues() {
    std::vector<Queue> out;
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return out;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        out.push_back({info[i].pPrinterName, info[i].pPortName ? info[i].pPortName : L"",
                       info[i].pDriverName ? info[i].pDriverName : L""});
    return out;
}

const Queue* FindQueue(const std::vector<Queue>& queues, const std::wstring& name) {
    for (const auto& q : queues)
        if (q.name == name) return &q;
    return nullptr;
}

std::vector<std::wstring> PrinterDriverNames(const wchar_t* environment) {
    std::vector<std::wstring> names;
    std::wstring env = environment;
    DWORD needed = 0, count = 0;
    EnumPrinterDriversW(nullptr, env.data(), 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrinterDriversW(nullptr, env.data(), 1, buffer.data(), needed, &needed, &count)) return names;
    const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pName);
    return names;
}

std::wstring PrinterDriverDirectory() {
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed);
    return dir;
}

bool ReadLink(const std::wstring& path, Link& out) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(path.c_str(), STGM_READ));
    if (ok) {
        wchar_t text[1024] = {};
        link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
        out.target = text;
        text[0] = L'\0';
        link->GetArguments(text, 1024);
        out.arguments = text;
        text[0] = L'\0';
        link->GetDescription(text, 1024);
        out.description = text;
    }
    if (file) file->Release();
    link->Release();
    // The show command as stored in the link's header.
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string header = bytes.str();
    if (header.size() < 0x40) return false;
    memcpy(&out.showCommand, header.data() + 0x3C, sizeof(DWORD));
    return ok;
}

}  // namespace testsupport
