// Printer queues and ports: driver, TCP/IP ports, printer and fax queues
// and the default printer, on the install worker's thread.
#pragma once

class CDlg_Install;

namespace install {

// Printer driver and queue: the USB queue or one queue per chosen network
// printer with its port.
void InstallPrinterQueue(CDlg_Install& page);
// Fax driver and one fax queue per chosen network printer.
void InstallNetworkFaxQueues(CDlg_Install& page);
// Makes the new printer the default printer.
void SetInstalledPrinterAsDefault(CDlg_Install& page);

}  // namespace install
