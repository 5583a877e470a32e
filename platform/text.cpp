#include "platform/text.h"

#include <cstdarg>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace plat {

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WideToMultiByte(std::wstring_view text) {
    std::wstring copy(text);
    size_t need = std::wcstombs(nullptr, copy.c_str(), 0);
    if (need == static_cast<size_t>(-1)) {
        // Not representable: keep the ASCII part, which is all a key may hold.
        std::string out;
        for (wchar_t c : copy) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    std::string out(need, '\0');
    std::wcstombs(out.data(), copy.c_str(), need);
    return out;
}

size_t CopyTrunc(wchar_t* dst, size_t cap, std::wstring_view src) {
    if (dst == nullptr || cap == 0) return 0;
    size_t n = src.size() < cap - 1 ? src.size() : cap - 1;
    if (n) std::wmemcpy(dst, src.data(), n);
    dst[n] = L'\0';
    return n;
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to) {
    if (from.empty()) return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::wstring::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

static wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWithNoCaseAscii(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCaseAscii(text.substr(0, prefix.size()), prefix);
}

static std::wstring VFormat(const wchar_t* fmt, va_list args) {
    std::vector<wchar_t> buf(512);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buf.data(), buf.size(), fmt, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) return std::wstring(buf.data(), static_cast<size_t>(n));
        if (buf.size() > (1u << 20)) return std::wstring(buf.data(), buf.size());
        buf.resize(buf.size() * 2);
    }
}

std::wstring Format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring out = VFormat(fmt, args);
    va_end(args);
    return out;
}

void Trace(std::wstring_view text) {
    std::wstring copy(text);
    OutputDebugStringW(copy.c_str());
}

void TraceF(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring out = VFormat(fmt, args);
    va_end(args);
    OutputDebugStringW(out.c_str());
}

std::wstring FileNamePart(std::wstring_view path) {
    size_t pos = path.rfind(L'\\');
    return std::wstring(pos == std::wstring_view::npos ? path : path.substr(pos + 1));
}

std::wstring FolderPart(std::wstring_view path) {
    size_t pos = path.rfind(L'\\');
    return pos == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, pos + 1));
}

}  // namespace plat
