#include "platform/fileops.h"

#include <windows.h>

#include "platform/handles.h"

namespace plat {

bool CopyFileWithRetry(const std::wstring& src, const std::wstring& dst) {
    if (CopyFileW(src.c_str(), dst.c_str(), FALSE)) return true;
    bool ok = CopyFileW(src.c_str(), dst.c_str(), FALSE) != FALSE;
    SetFileAttributesW(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ok;
}

bool PathExists(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(path.c_str(), &data));
    return static_cast<bool>(find);
}

}  // namespace plat
