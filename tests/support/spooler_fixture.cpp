#include "tests/support/spooler_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/windows_state.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>

namespace testsupport {

bool SpoolerFixture::AddDriverAndPrinter(const std::wstring& driver, const std::wstring& printer,
                                         const std::wstring& port) {
    const std::wstring dir = PrinterDriverDirectory();
    const std::wstring files[] = {L"tstdrv.dll", L"tstdata.gpd", L"tstui.dll"};
    for (const auto& f : files) WriteBytes(dir + L"\\" + f, "stand-in");

    DRIVER_INFO_3W di = {};
    di.cVersion = 3;
    di.pName = const_cast<wchar_t*>(driver.c_str());
    std::wstring env = L"Windows x64";
    di.pEnvironment = env.data();
    std::wstring drv = dir + L"\\" + files[0], data = dir + L"\\" + files[1], ui = dir + L"\\" + files[2];
    di.pDriverPath = drv.data();
    di.pDataFile = data.data();
    di.pConfigFile = ui.data();
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&di)) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        fwprintf(stderr, L"AddPrinterDriverW(%ls): error %lu\n", driver.c_str(), GetLastError());
        return false;
    }
    if (std::find(m_drivers.begin(), m_drivers.end(), driver) == m_drivers.end()) m_drivers.push_back(driver);

    PRINTER_INFO_2W pi = {};
    pi.pPrinterName = const_cast<wchar_t*>(printer.c_str());
    pi.pPortName = const_cast<wchar_t*>(port.c_str());
    pi.pDriverName = const_cast<wchar_t*>(driver.c_str());
    std::wstring proc = L"wineps";
    pi.pPrintProcessor = proc.data();
    std::wstring datatype = L"RAW";  // Wine's spooler opens no queue without one
    pi.pDatatype = datatype.data();
    pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) {
        fwprintf(stderr, L"AddPrinterW(%ls): error %lu\n", printer.c_str(), GetLastError());
        return false;
    }
    ClosePrinter(h);
    m_printers.push_back(printer);
    return true;
}

void SpoolerFixture::RemoveAll() {
    for (const auto& name : m_printers) {
        HANDLE h = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &defaults)) {
            DeletePrinter(h);
            ClosePrinter(h);
        }
    }
    m_printers.clear();
    for (const auto& name : m_drivers) {
        std::wstring env = L"Windows x64";
        DeletePrinterDriverW(nullptr, env.data(), const_cast<wchar_t*>(name.c_str()));
    }
    m_drivers.clear();
}

}  // namespace testsupport
