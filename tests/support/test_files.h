// Files and folders the tests make, read and remove (wide paths throughout:
// several names are Chinese).
#pragma once

#include <string>

namespace testsupport {

// True when a file or folder of that path exists.
bool Exists(const std::wstring& path);
// The whole file into `bytes`; false when it cannot be opened.
bool ReadBytes(const std::wstring& path, std::string& bytes);
// The whole file; empty when it cannot be opened.
std::string ReadBytes(const std::wstring& path);
// Creates or replaces the file with exactly `bytes`.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Removes the folder with everything in it, read-only files too (a trailing
// backslash is allowed).
void RemoveTree(const std::wstring& folder);

}  // namespace testsupport
