// The program's module, its folder, and the resource module from which
// dialog templates, strings and pictures are loaded.
//
// The resource module starts as the program itself (its own Simplified
// Chinese resources). Loading a language library makes that library the
// resource module; pages switch temporarily to the bitmap library while they
// load pictures (ResourceModuleScope).
#pragma once

#include <windows.h>

#include <string>

namespace plat {

HINSTANCE ProgramModule();

// Full path of the program file (GetModuleFileNameW, 1024 characters).
std::wstring ProgramPath();
// Folder of the program file including its final backslash.
std::wstring ProgramFolder();
// GetSystemDirectoryW / GetWindowsDirectoryW (1024 characters).
std::wstring SystemDirectory();
std::wstring WindowsDirectory();
// The Windows directory without its last level: the system's drive ("C:"
// for C:\Windows).
std::wstring WindowsDrive();

HINSTANCE ResourceModule();
void SetResourceModule(HINSTANCE module);

// Switches the resource module for the lifetime of the object.
class ResourceModuleScope {
public:
    explicit ResourceModuleScope(HINSTANCE module) : m_old(ResourceModule()) {
        if (module) SetResourceModule(module);
    }
    ~ResourceModuleScope() { SetResourceModule(m_old); }
    ResourceModuleScope(const ResourceModuleScope&) = delete;
    ResourceModuleScope& operator=(const ResourceModuleScope&) = delete;

private:
    HINSTANCE m_old;
};

// Loads string `id`: from the resource module first, then from the program's
// own table. Returns false when neither has it.
bool LoadResourceString(UINT id, std::wstring& out);

}  // namespace plat
