#include "platform/module.h"

#include <atomic>

#include "platform/text.h"

namespace plat {

namespace {
std::atomic<HINSTANCE> g_resourceModule{nullptr};

// Reads string `id` straight from the string table block of `module`, so the
// text may hold any length and embedded line breaks.
bool LoadStringFrom(HINSTANCE module, UINT id, std::wstring& out) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), reinterpret_cast<LPCWSTR>(RT_STRING));
    if (!res) return false;
    HGLOBAL mem = LoadResource(module, res);
    if (!mem) return false;
    auto* p = static_cast<const WCHAR*>(LockResource(mem));
    if (!p) return false;
    for (UINT i = 0; i < (id & 15); ++i) p += 1 + *p;
    if (*p == 0) return false;  // an empty slot means the id is absent
    out.assign(p + 1, *p);
    return true;
}
}  // namespace

HINSTANCE ProgramModule() { return GetModuleHandleW(nullptr); }

std::wstring ProgramPath() {
    wchar_t buf[1024] = {};
    GetModuleFileNameW(nullptr, buf, 1024);
    return buf;
}

std::wstring ProgramFolder() { return FolderPart(ProgramPath()); }

std::wstring SystemDirectory() {
    wchar_t buf[1024] = {};
    GetSystemDirectoryW(buf, 1024);
    return buf;
}

std::wstring WindowsDirectory() {
    wchar_t buf[1024] = {};
    GetWindowsDirectoryW(buf, 1024);
    return buf;
}

std::wstring WindowsDrive() {
    std::wstring drive = WindowsDirectory();
    const size_t cut = drive.rfind(L'\\');
    if (cut != std::wstring::npos) drive.resize(cut);
    return drive;
}

HINSTANCE ResourceModule() {
    HINSTANCE m = g_resourceModule.load();
    return m ? m : ProgramModule();
}

void SetResourceModule(HINSTANCE module) { g_resourceModule.store(module); }

bool LoadResourceString(UINT id, std::wstring& out) {
    HINSTANCE current = ResourceModule();
    if (LoadStringFrom(current, id, out)) return true;
    return current != ProgramModule() && LoadStringFrom(ProgramModule(), id, out);
}

}  // namespace plat
