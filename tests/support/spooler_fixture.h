// Adds printer drivers and queues to the test prefix's real spooler and
// removes them again.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class SpoolerFixture {
public:
    SpoolerFixture() = default;
    ~SpoolerFixture() { RemoveAll(); }

    // Adds a driver (with stand-in files in the driver directory) and a
    // queue using it on port "FILE:". False when the spooler refuses.
    bool AddDriverAndPrinter(const std::wstring& driver, const std::wstring& printer,
                             const std::wstring& port = L"FILE:");
    // Deletes the queues and drivers this fixture added.
    void RemoveAll();

private:
    std::vector<std::wstring> m_printers;
    std::vector<std::wstring> m_drivers;
};

}  // namespace testsupport
