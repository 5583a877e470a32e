// Simulated USB printers in a Wine prefix, made through the setup API the
// way Windows' USB printing stack leaves them in the registry:
//
// - the USB device (instance id such as USB\VID_2F1A&PID_0102\SER001, the
//   printer setup class) with its hardware ids, configuration flags 0 and a
//   "ParentIdPrefix" for the devices it enumerates;
// - its USB printer interface {28D78FAD-5A12-11D1-AE5B-0000F803A8C2} with
//   the port monitor's "Port Number" in the interface's Device Parameters,
//   active (the interface's Control\Linked value) while the printer is
//   connected;
// - optionally the functions it enumerates, the devices driver packages
//   install on: for a function id such as USBPRINT\TavrinK7850C4D1 the
//   device <function id>\<ParentIdPrefix>&USB<port> with the hardware ids
//   <function id> and the id's last part.
//
// A printer behind the IEEE 1284.4 stack is announced with a reference
// string on its interface ("dot4#1"), which puts "#dot4#" into the
// interface path the setup API reports; its port number is written at the
// place the product reads it for that path as well.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace usbdev {

struct UsbPrinter {
    std::wstring instanceId;  // USB\VID_xxxx&PID_yyyy\serial
    DWORD port = 1;           // "Port Number": the port monitor names the port USB%03d
    std::vector<std::wstring> functions;  // device ids of the functions it enumerates
    std::wstring referenceString;  // of the interface; empty: none
    bool connected = true;
};

// Creates the device, its interface and its functions. False (with
// the reason in `error`) when the setup API refuses.
bool AddUsbPrinter(const UsbPrinter& printer, std::wstring* error = nullptr);

// Removes the USB device with its interfaces and the functions it
// enumerated. False when there is no such device.
bool RemoveUsbPrinter(const std::wstring& instanceId);
// Removes any one device (with its interfaces).
bool RemoveDevice(const std::wstring& instanceId);

// Connects or disconnects the printer (its interface becomes active or
// inactive); the devices stay registered, as an unplugged printer's do.
bool SetConnected(const std::wstring& instanceId, bool connected);

// Instance id of a function of a USB printer.
std::wstring FunctionInstanceId(const UsbPrinter& printer, const std::wstring& functionId);

// Configuration flags of a device (SPDRP_CONFIGFLAGS); false when the device
// or the property cannot be read.
bool ReadConfigFlags(const std::wstring& instanceId, DWORD& flags);
bool WriteConfigFlags(const std::wstring& instanceId, DWORD flags);

// Instance ids of every registered device whose id begins with `prefix`
// (ASCII letters compared without case), in the setup API's order.
std::vector<std::wstring> ListDevices(const std::wstring& prefix);


}  // namespace usbdev
