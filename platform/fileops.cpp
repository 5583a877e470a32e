#include "platform/fileops.h"

#include <windows.h>
#include <shlwapi.h>

#include "platform/handles.h"

namespace plat {

bool CopyFileWithRetry(const std::wstring& src, const std::wstring& dst) {
    if (CopyFileW(src.c_str(), dst.c_str(), FALSE)) return true;
    bool ok = CopyFileW(src.c_str(), dst.c_str(), FALSE) != FALSE;
    SetFileAttributesW(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ok;
}

void EnsureFolder(const std::wstring& folder) {
    if (PathFileExistsW(folder.c_str())) return;
    CreateDirectoryW(folder.c_str(), nullptr);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

void EnsureFolderLevels(const std::wstring& folder, size_t from) {
    size_t pos = from;
    while (pos < folder.size()) {
        size_t next = folder.find(L'\\', pos + 1);
        if (next == std::wstring::npos) next = folder.size();
        const std::wstring level = folder.substr(0, next);
        if (!level.empty() && level.back() != L'\\') EnsureFolder(level);
        pos = next;
    }
}

bool PathExists(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(path.c_str(), &data));
    return static_cast<bool>(find);
}

}  // namespace plat
