// File operations shared by the install and uninstall steps.
#pragma once

#include <string>

namespace plat {

// Copy with retry: CopyFileW overwriting; when it fails, once more, and then
// the destination's attributes are set to normal. Returns whether one of the
// two copies succeeded.
bool CopyFileWithRetry(const std::wstring& src, const std::wstring& dst);

// True when FindFirstFileW finds the path.
bool PathExists(const std::wstring& path);

}  // namespace plat
