// What Windows itself reports about printers and shortcuts, read back by
// tests after the code under test has acted: spooler queues and drivers, the
// printer driver directory, shell links.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A queue of the local spooler.
struct Queue {
    std::wstring name, port, driver;
};
std::vector<Queue> LocalQueues();
// The queue of that name in `queues`, or null.
const Queue* FindQueue(const std::vector<Queue>& queues, const std::wstring& name);

// Names of the printer drivers of an environment.
std::vector<std::wstring> PrinterDriverNames(const wchar_t* environment = L"Windows x64");
// The printer driver directory of the local machine's own environment.
std::wstring PrinterDriverDirectory();

// A shell link as Windows reads it back.
struct Link {
    std::wstring target, arguments, description;
    DWORD showCommand = 0;  // from the link's header (Wine's link object does not read it back)
};
// Needs COM initialised on the calling thread.
bool ReadLink(const std::wstring& path, Link& out);

}  // namespace testsupport
