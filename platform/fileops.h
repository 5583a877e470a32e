// File operations shared by the install and uninstall steps.
#pragma once

#include <string>

namespace plat {

// Copy with retry: CopyFileW overwriting; when it fails, once more, and then
// the destination's attributes are set to normal. Returns whether one of the
// two copies succeeded.
bool CopyFileWithRetry(const std::wstring& src, const std::wstring& dst);

// Folder rule: a folder that does not exist is created and given normal
// attributes.
void EnsureFolder(const std::wstring& folder);
// The folder rule for every level of `folder` that ends after position
// `from` (the root of an absolute path is never created: pass the position
// of its first backslash; or the length of a base folder known to exist).
void EnsureFolderLevels(const std::wstring& folder, size_t from);

// True when FindFirstFileW finds the path.
bool PathExists(const std::wstring& path);

}  // namespace plat
