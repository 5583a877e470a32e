// usbdev: simulated USB printers in the current Wine prefix.
//
//   usbdev add INSTANCE-ID PORT [--function DEVICE-ID]... [--refstr REFERENCE] [--unplugged]
//   usbdev remove INSTANCE-ID        the USB printer with its functions
//   usbdev remove-device INSTANCE-ID one device
//   usbdev plug INSTANCE-ID | usbdev unplug INSTANCE-ID
//   usbdev flags INSTANCE-ID          prints the configuration flags in hex
//   usbdev list [PREFIX]              prints the instance ids, one a line
//
// Example: usbdev add USB\VID_2F1A&PID_0102\SER001 2 --function USBPRINT\TavrinK7850C4D1
// prints the instance id of each function it made.
// Exit code 0 on success, 1 when the setup API refused, 2 for a bad command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tools/usbdev/usb_devices.h"

namespace {

int Usage() {
    fwprintf(stderr,
             L"usage: usbdev add INSTANCE-ID PORT [--function DEVICE-ID]... [--refstr REFERENCE] [--unplugged]\n"
             L"       usbdev remove|remove-device|plug|unplug|flags INSTANCE-ID\n"
             L"       usbdev list [PREFIX]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    if (command == L"list") {
        for (const auto& id : usbdev::ListDevices(argc > 2 ? argv[2] : L"")) wprintf(L"%ls\n", id.c_str());
        return 0;
    }
    if (argc < 3) return Usage();
    const std::wstring id = argv[2];

    if (command == L"add") {
        if (argc < 4) return Usage();
        usbdev::UsbPrinter printer;
        printer.instanceId = id;
        printer.port = wcstoul(argv[3], nullptr, 10);
        for (int i = 4; i < argc; ++i) {
            const std::wstring option = argv[i];
            if (option == L"--function" && i + 1 < argc) {
                printer.functions.push_back(argv[++i]);
            } else if (option == L"--refstr" && i + 1 < argc) {
                printer.referenceString = argv[++i];
            } else if (option == L"--unplugged") {
                printer.connected = false;
            } else {
                return Usage();
            }
        }
        std::wstring error;
        if (!usbdev::AddUsbPrinter(printer, &error)) {
            fwprintf(stderr, L"usbdev: %ls\n", error.c_str());
            return 1;
        }
        for (const auto& function : printer.functions)
            wprintf(L"%ls\n", usbdev::FunctionInstanceId(printer, function).c_str());
        return 0;
    }
    if (command == L"remove") return usbdev::RemoveUsbPrinter(id) ? 0 : 1;
    if (command == L"remove-device") return usbdev::RemoveDevice(id) ? 0 : 1;
    if (command == L"plug" || command == L"unplug") return usbdev::SetConnected(id, command == L"plug") ? 0 : 1;
    if (command == L"flags") {
        DWORD flags = 0;
        if (!usbdev::ReadConfigFlags(id, flags)) return 1;
        wprintf(L"0x%08lx\n", static_cast<unsigned long>(flags));
        return 0;
    }
    return Usage();
}
