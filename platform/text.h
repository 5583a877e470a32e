// UTF-16 text helpers: conversions, truncating copies into fixed buffers,
// replacement, ASCII case-insensitive compare and debugger tracing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// UTF-8 <-> UTF-16 (MultiByteToWideChar / WideCharToMultiByte with CP_UTF8).
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Text in the system ANSI code page to UTF-16.
std::wstring AnsiToWide(std::string_view text);

// Query strings (paths, attribute names, keys) go through the C library's
// wide-to-multibyte conversion; they are ASCII in practice.
std::string WideToMultiByte(std::wstring_view text);

// Copies at most cap-1 characters of src into dst and terminates it.
// Never writes past dst[cap-1]. Returns the number of characters copied.
size_t CopyTrunc(wchar_t* dst, size_t cap, std::wstring_view src);

template <size_t N>
size_t CopyTrunc(wchar_t (&dst)[N], std::wstring_view src) {
    return CopyTrunc(dst, N, src);
}

// Every occurrence of `from` replaced by `to` (from must not be empty).
std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to);

// Compares ignoring the letter case of ASCII letters only.
bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b);
// True when `text` begins with `prefix`, ASCII letters compared without case.
bool StartsWithNoCaseAscii(std::wstring_view text, std::wstring_view prefix);

// printf-style formatting into a std::wstring.
std::wstring Format(const wchar_t* fmt, ...);

// Writes the text to the debugger output (OutputDebugStringW).
void Trace(std::wstring_view text);
// printf-style variant of Trace.
void TraceF(const wchar_t* fmt, ...);

// The part of a path after its last backslash (the whole text when none).
std::wstring FileNamePart(std::wstring_view path);
// The part of a path up to and including its last backslash (empty when none).
std::wstring FolderPart(std::wstring_view path);

}  // namespace plat
