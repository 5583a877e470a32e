// A USB printer of the family detected on this computer.
#pragma once

#include <vector>

struct UsbPrinterItem {
    wchar_t model[260] = {};  // "ID" of the matching USB_Info node
    wchar_t port[512] = {};   // "USB%03d"
};

using UsbPrinterList = std::vector<UsbPrinterItem>;
