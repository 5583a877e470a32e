// Address checks shared by the network pages and the TCP/IP port creation.
#pragma once

namespace netfind {

// True when the whole text is an IPv6 address: eight groups of one to four
// hexadecimal digits, a "::" form, or either with a dotted IPv4 address in
// place of the last two groups. No zone suffix, no brackets. An absent or
// empty text is not an address.
bool IsIPv6Address(const wchar_t* text);

}  // namespace netfind
