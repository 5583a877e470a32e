// Printer queues and ports: language monitor, print processor, printer and
// fax drivers, TCP/IP ports and queues, the INF handed to the system's INF
// store, and the default printer. Everything goes to the local spooler; the
// environment, where one is given, is "Windows x64".
//
// The install steps run on the install worker's thread; the naming rules
// MakeUniqueQueueName and MakeNextTcpPortName also run on the network pages'
// threads. No failure of a spooler, monitor or setup call stops the install
// or reaches the user: the failed object is missing and the next step runs.
#pragma once

#include <windows.h>

#include <string>

class CDlg_Install;

namespace install {

// Printer driver and queue: the USB queue, or one queue per chosen network
// printer with its port; then the printer INF goes to the INF store.
void InstallPrinterQueue(CDlg_Install& page);
// Fax driver and one fax queue, on a new port, per chosen network printer.
void InstallNetworkFaxQueues(CDlg_Install& page);
// Makes the new printer the default printer; when that fails the previous
// default printer is set again.
void SetInstalledPrinterAsDefault(CDlg_Install& page);

// Creates a port "IPP_<address>_<n>" (n from 1 to 99, the first free one)
// through the Standard TCP/IP Port monitor's transceiver and writes its name
// to `portName` (256 characters); without a free number the name is
// "IPP_<address>".
void AddStandardTcpIpPort(const wchar_t* address, wchar_t* portName);
// The same through the product's own port monitor, which is registered first
// (from `monitorFile`, under `monitorName`). When the monitor cannot be
// registered `portName` is left unchanged. The result carries no meaning.
int AddVendorTcpIpPort(const wchar_t* address, const wchar_t* monitorName, const wchar_t* monitorFile,
                       wchar_t* portName);

// The first local queue that uses the model's printer driver on a port whose
// name contains "USB", into `queueName` (512 characters; empty when none).
void FindUsbPrinterQueue(const wchar_t* model, wchar_t* queueName);

// "<base> NNNN": the counter, raised past the number at the end of every
// local queue whose name contains `base` and is longer than it.
std::wstring MakeUniqueQueueName(const wchar_t* base, int& counter);
// "<prefix>NNN": one more than the largest number ending a Standard TCP/IP
// port name that contains the prefix (at least 2 when one exists), 1 when
// none does. Empty when the ports cannot be listed, and when there are more
// than 256 such ports ("Find Net Port Error" is shown then).
std::wstring MakeNextTcpPortName(const wchar_t* prefix);

// Seams for the two calls whose effect Wine cannot show. Null restores the
// real ones.
using UpdateDriverFunction = BOOL(WINAPI*)(HWND, LPCWSTR, LPCWSTR, DWORD, PBOOL);
void SetUpdateDriverForTest(UpdateDriverFunction function);
using SetDefaultPrinterFunction = BOOL(WINAPI*)(LPCWSTR);
void SetSetDefaultPrinterForTest(SetDefaultPrinterFunction function);

}  // namespace install
