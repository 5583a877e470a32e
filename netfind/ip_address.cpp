#include "netfind/ip_address.h"

#include <cwchar>
#include <regex>
#include <string>

namespace netfind {

namespace {

// Every "%s" of the template replaced, in order, by the parts.
std::wstring Fill(std::wstring text, std::initializer_list<const wchar_t*> parts) {
    size_t from = 0;
    for (const wchar_t* part : parts) {
        const size_t at = text.find(L"%s", from);
        if (at == std::wstring::npos) break;
        text.replace(at, 2, part);
        from = at + wcslen(part);
    }
    return text;
}

bool FullMatch(const std::wstring& text, const std::wstring& pattern) {
    return std::regex_match(text, std::wregex(pattern));
}

}  // namespace

bool IsIPv6Address(const wchar_t* text) {
    if (!text || !*text) return false;
    const std::wstring s = text;
    if (s.find_first_not_of(L"0123456789abcdefABCDEF:.") != std::wstring::npos) return false;
    size_t colons = 0;
    for (wchar_t c : s) colons += c == L':';
    if (colons > 8) return false;

    const wchar_t* octet = L"(([0-1]?\\d{1,2})|(2[0-4]\\d)|(25[0-5]))";
    const std::wstring v4 = Fill(L"(%s(\\.%s){3})", {octet, octet});
    const wchar_t* h = L"([0-9a-fA-F]{1,4})";

    const std::wstring p1 = Fill(L"((%s(:%s){7})|(:(:%s){1,6})|((%s:){1,7}:))", {h, h, h, h});
    if (FullMatch(s, p1)) return true;
    if (colons > 7) return false;
    const std::wstring p2 = Fill(L"((%s:){1,6}(:%s){1,6})", {h, h});
    if (FullMatch(s, p2)) return true;
    if (colons > 6) return false;
    const std::wstring p3 = Fill(L"((%s(:%s){5})|(:(:%s){0,5}))(:%s)", {h, h, h, v4.c_str()});
    if (FullMatch(s, p3)) return true;
    const std::wstring p4 = Fill(L"((%s:){1,6}(:%s){0,5})(:%s)", {h, h, v4.c_str()});
    return FullMatch(s, p4);
}

}  // namespace netfind
