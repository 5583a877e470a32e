#include "install/printer_queue.h"

namespace install {

void InstallPrinterQueue(CDlg_Install&) {}  // filled in with the spooler driver, port and queue calls

void InstallNetworkFaxQueues(CDlg_Install&) {}  // filled in with the network fax driver and queues

void SetInstalledPrinterAsDefault(CDlg_Install&) {}  // filled in with the default-printer switch

}  // namespace install
