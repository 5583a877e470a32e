// Records sent to a TCP/IP port monitor's transceiver (XcvData): the
// standard port record of "AddPort" and "ConfigurePort", the deletion record
// of "DeletePort", and the extended configuration record that the product's
// own port monitor takes with "SetConfigExData".
//
// The layouts are fixed by the monitors that read them; the sizes and
// offsets are checked below so a change of packing or of a field shows at
// compile time. Shared by the setup program and the monitor stand-ins.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tcpport {

constexpr DWORD kMaxPortNameLen = 64;        // port name, with its NUL
constexpr DWORD kMaxNetworkNameLen = 49;     // host name or address, with its NUL
constexpr DWORD kMaxSnmpCommunityLen = 33;
constexpr DWORD kMaxQueueNameLen = 33;
constexpr DWORD kMaxIpAddrStrLen = 16;

constexpr DWORD kProtocolRaw = 1;
constexpr DWORD kProtocolLpr = 2;
constexpr DWORD kRawPortNumber = 9100;
constexpr DWORD kPortDataVersion = 1;

// The read-only community SNMP agents answer without configuration.
constexpr wchar_t kDefaultSnmpCommunity[] = L"public";

// Transceiver commands.
constexpr wchar_t kXcvAddPort[] = L"AddPort";
constexpr wchar_t kXcvDeletePort[] = L"DeletePort";
constexpr wchar_t kXcvConfigurePort[] = L"ConfigurePort";
constexpr wchar_t kXcvSetConfigExData[] = L"SetConfigExData";

// Standard TCP/IP port record (964 bytes).
struct PORT_DATA_1 {
    WCHAR sztPortName[kMaxPortNameLen];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[kMaxNetworkNameLen];
    WCHAR sztSNMPCommunity[kMaxSnmpCommunityLen];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[kMaxQueueNameLen];
    WCHAR sztIPAddress[kMaxIpAddrStrLen];
    BYTE Reserved[540];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
};

// Port deletion record (236 bytes).
struct DELETE_PORT_DATA_1 {
    WCHAR psztPortName[kMaxPortNameLen];
    WCHAR psztName[kMaxNetworkNameLen];
    DWORD dwVersion;
    DWORD dwReserved;
};

// Extended configuration record of the product's own port monitor
// (424 bytes, zero-filled before use).
struct PORT_CONFIG_EX_DATA {
    WCHAR szPortName[64];   // NUL-terminated, at most 63 characters
    DWORD dwVersion;        // 1
    DWORD cbSize;           // sizeof(PORT_CONFIG_EX_DATA)
    WCHAR szAddress[128];   // NUL-terminated, at most 127 characters
    DWORD dwIPv6;           // 1 for an IPv6 address
    DWORD dwReserved;       // 0
    BYTE Reserved[24];      // zero
};

constexpr DWORD kConfigExVersion = 1;

static_assert(sizeof(PORT_DATA_1) == 964, "PORT_DATA_1 size");
static_assert(offsetof(PORT_DATA_1, dwVersion) == 128, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, sztHostAddress) == 144, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, sztSNMPCommunity) == 242, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, dwDoubleSpool) == 308, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, sztQueue) == 312, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, sztIPAddress) == 378, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, dwPortNumber) == 952, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, dwSNMPEnabled) == 956, "PORT_DATA_1 layout");
static_assert(offsetof(PORT_DATA_1, dwSNMPDevIndex) == 960, "PORT_DATA_1 layout");

static_assert(sizeof(DELETE_PORT_DATA_1) == 236, "DELETE_PORT_DATA_1 size");
static_assert(offsetof(DELETE_PORT_DATA_1, psztName) == 128, "DELETE_PORT_DATA_1 layout");
static_assert(offsetof(DELETE_PORT_DATA_1, dwVersion) == 228, "DELETE_PORT_DATA_1 layout");
static_assert(offsetof(DELETE_PORT_DATA_1, dwReserved) == 232, "DELETE_PORT_DATA_1 layout");

static_assert(sizeof(PORT_CONFIG_EX_DATA) == 424, "PORT_CONFIG_EX_DATA size");
static_assert(offsetof(PORT_CONFIG_EX_DATA, szPortName) == 0, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, dwVersion) == 128, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, cbSize) == 132, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, szAddress) == 136, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, dwIPv6) == 392, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, dwReserved) == 396, "PORT_CONFIG_EX_DATA layout");
static_assert(offsetof(PORT_CONFIG_EX_DATA, Reserved) == 400, "PORT_CONFIG_EX_DATA layout");

}  // namespace tcpport
