// Records of network printers: found by a search, and chosen for install.
#pragma once

#include <vector>

// A printer found on the network; zero-filled before it is filled.
struct NetPrinterItem {
    wchar_t name[256] = {};
    wchar_t address[256] = {};
    wchar_t hostName[256] = {};
};

// A network printer to install.
struct ChosenPrinterItem {
    wchar_t printerName[256] = {};  // printer queue name
    wchar_t portAddress[256] = {};  // IP address or host name
    wchar_t portName[256] = {};     // TCP/IP port name (SNMP platform)
};

using NetPrinterList = std::vector<NetPrinterItem>;
using ChosenPrinterList = std::vector<ChosenPrinterItem>;
