// Plug-and-play device handling through the setup API: the family's USB
// printers that are connected now, and the reinstall flag that makes Windows
// install a printer's driver again the next time it sees the device.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include "install/usb_printer_item.h"

namespace install {

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}: the USB printer interface class.
extern const GUID kUsbPrintInterface;
// {4D36E979-E325-11CE-BFC1-08002BE10318}: the printer setup class.
extern const GUID kPrinterDeviceClass;

// Appends every connected printer of the family, in the order the setup API
// lists the present devices of the USB printer interface class; only the
// first six devices are examined. A device whose interface path runs through
// the IEEE 1284.4 stack ("#dot4#") or whose "Port Number" cannot be read is
// left out; a device whose interface cannot be read ends the search.
void DiscoverUsbPrinters(UsbPrinterList& printers);

// True when the instance id begins (ASCII letters compared without case)
// with the text of a "/SERTUP_INFO/USB/USB_Info" node; the record's model is
// then the "ID" of the last such node. Nodes without text match nothing.
bool MatchUsbPrinterModel(const wchar_t* instanceId, UsbPrinterItem& item);

// Sets the reinstall flag (CONFIGFLAG_REINSTALL, 0x20) on every device of
// the enumerator, keeping the other flag bits. True when every device found
// was marked, also when none was found; false when the device list cannot be
// built or a device's flags cannot be read or written (the devices after it
// are left alone). An empty enumerator names no device.
bool MarkDevicesForReinstall(const wchar_t* enumerator);

// The two device-property calls of MarkDevicesForReinstall, replaceable by
// tests for the devices whose flags Wine cannot refuse to write.
class DeviceProperties {
public:
    virtual ~DeviceProperties() = default;
    virtual BOOL Get(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, BYTE* buffer, DWORD size,
                     DWORD* needed);
    virtual BOOL Set(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, const BYTE* buffer, DWORD size);
};
// nullptr restores the setup API.
void SetDevicePropertiesForTest(DeviceProperties* properties);

}  // namespace install
