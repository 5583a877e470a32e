// USB printer discovery and the reinstall flag against Wine's setupapi, with
// simulated USB printers made by the usbdev library.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/setup_config.h"
#include "install/pnp_devices.h"
#include "platform/text.h"
#include "tools/usbdev/usb_devices.h"

namespace {

const char kDocument[] = R"(<SERTUP_INFO><USB>
  <USB_Info ID="Tavrin K7820">usb\vid_2f1a&amp;pid_0101</USB_Info>
  <USB_Info ID="Tavrin K7850">USB\VID_2F1A&amp;PID_0102</USB_Info>
</USB></SERTUP_INFO>)";

void RemoveTestDevices() {
    for (const wchar_t* prefix : {L"USB\\VID_2F1A", L"USB\\VID_7777"}) {
        for (const auto& id : usbdev::ListDevices(prefix)) usbdev::RemoveUsbPrinter(id);
    }
    for (const auto& id : usbdev::ListDevices(L"USBPRINT\\PnpTest")) usbdev::RemoveDevice(id);
}

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTestDevices();
        ASSERT_TRUE(cfg::LoadSetupConfigText(kDocument));
    }
    void TearDown() override {
        RemoveTestDevices();
        install::SetDevicePropertiesForTest(nullptr);
        cfg::LoadSetupConfigText("");
    }

    void Add(const usbdev::UsbPrinter& printer) {
        std::wstring error;
        ASSERT_TRUE(usbdev::AddUsbPrinter(printer, &error)) << plat::WideToUtf8(error);
    }

    static std::wstring Discovered() {
        UsbPrinterList list;
        install::DiscoverUsbPrinters(list);
        std::wstring out;
        for (const auto& item : list) out += std::wstring(item.model) + L"|" + item.port + L"\n";
        return out;
    }
};

// Connected family printers in the setup API's order (by interface path,
// not by the order they were plugged in) with their ports; a printer of
// another vendor and one behind the IEEE 1284.4 stack are left out.
TEST_F(Devices, DiscoversConnectedFamilyPrinters) {
    Add({L"USB\\VID_2F1A&PID_0102\\DISC01", 2, {}, L"", true});
    Add({L"USB\\VID_7777&PID_0001\\DISC02", 3, {}, L"", true});
    Add({L"USB\\VID_2F1A&PID_0101\\DISC03", 1, {}, L"", true});
    Add({L"USB\\VID_2F1A&PID_0101\\DISC05", 5, {}, L"dot4#1", true});  // path ...#dot4#1

    EXPECT_EQ(Discovered(), L"Tavrin K7820|USB001\nTavrin K7850|USB002\n");

    // The dot4 printer is complete otherwise: with a plain path it is found.
    usbdev::RemoveUsbPrinter(L"USB\\VID_2F1A&PID_0101\\DISC05");
    Add({L"USB\\VID_2F1A&PID_0101\\DISC05", 5, {}, L"", true});
    EXPECT_EQ(Discovered(), L"Tavrin K7820|USB001\nTavrin K7820|USB005\nTavrin K7850|USB002\n");

    // A family device whose interface cannot be read ends the search; what
    // was found before it stays. (Wine lists an unplugged printer among the
    // present devices of the class, without its inactive interface.)
    Add({L"USB\\VID_2F1A&PID_0101\\DISC04", 4, {}, L"", false});
    EXPECT_EQ(Discovered(), L"Tavrin K7820|USB001\n");
}

// Only the first six devices of the class are examined: a seventh family
// printer is not listed, nor is a family printer behind a foreign one that
// takes one of the six places.
TEST_F(Devices, ExaminesSixDevicesAtMost) {
    for (int i = 1; i <= 7; ++i)
        Add({plat::Format(L"USB\\VID_2F1A&PID_0102\\SEVEN%d", i), static_cast<DWORD>(i), {}, L"", true});
    std::wstring six;
    for (int i = 1; i <= 6; ++i) six += plat::Format(L"Tavrin K7850|USB%03d\n", i);
    EXPECT_EQ(Discovered(), six);

    usbdev::RemoveUsbPrinter(L"USB\\VID_2F1A&PID_0102\\SEVEN1");
    Add({L"USB\\VID_2F1A&PID_0100\\FOREIGN", 9, {}, L"", true});  // sorts first, matches no node
    std::wstring fromTwo;
    for (int i = 2; i <= 6; ++i) fromTwo += plat::Format(L"Tavrin K7850|USB%03d\n", i);
    EXPECT_EQ(Discovered(), fromTwo);
}

TEST(UsbModelMatch, PrefixWithoutCaseAndTheLastNodeWins) {
    ASSERT_TRUE(cfg::LoadSetupConfigText(R"(<SERTUP_INFO><USB>
      <USB_Info ID="model A">USB\VID_1234&amp;PID_0001</USB_Info>
      <USB_Info ID="model B">USB\VID_1234</USB_Info>
      <USB_Info ID="model C">USB\VID_1234&amp;PID_0003</USB_Info>
      <USB_Info ID="any"></USB_Info>
    </USB></SERTUP_INFO>)"));
    struct Row {
        const wchar_t* instanceId;
        bool matched;
        const wchar_t* model;
    } rows[] = {
        {L"usb\\vid_1234&pid_0001\\SER", true, L"model B"},
        {L"USB\\VID_1234&PID_0003\\SER", true, L"model C"},
        {L"USB\\VID_1234&PID_0002\\SER", true, L"model B"},
        {L"USB\\VID_123", false, L""},
        {L"USB\\VID_9999&PID_0001\\SER", false, L""},
        {L"", false, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.instanceId));
        UsbPrinterItem item;
        EXPECT_EQ(install::MatchUsbPrinterModel(row.instanceId, item), row.matched);
        EXPECT_EQ(std::wstring(item.model), row.model);
    }
    cfg::LoadSetupConfigText("");
}

// --- Reinstall flag -------------------------------------------------------------

const wchar_t kFunction[] = L"USBPRINT\\PnpTestPrinter";

// The device's configuration flags as the registry holds them.
DWORD Flags(const std::wstring& id) {
    DWORD flags = 0xFFFFFFFF, size = sizeof(flags);
    RegGetValueW(HKEY_LOCAL_MACHINE, (L"SYSTEM\\CurrentControlSet\\Enum\\" + id).c_str(), L"ConfigFlags",
                 RRF_RT_REG_DWORD, nullptr, &flags, &size);
    return flags;
}

// Every device of the enumerator gets 0x20 with its other bits kept; an
// enumerator without devices, and an empty one, change nothing.
TEST_F(Devices, MarksEveryDeviceOfTheEnumerator) {
    const usbdev::UsbPrinter a{L"USB\\VID_2F1A&PID_0102\\MARK01", 1, {kFunction}, L"", false};
    const usbdev::UsbPrinter b{L"USB\\VID_2F1A&PID_0102\\MARK02", 2, {kFunction}, L"", true};
    const usbdev::UsbPrinter other{L"USB\\VID_2F1A&PID_0101\\MARK03", 3, {L"USBPRINT\\PnpTestOther"}, L"", true};
    for (const auto* p : {&a, &b, &other}) Add(*p);
    const std::wstring idA = usbdev::FunctionInstanceId(a, kFunction);
    const std::wstring idB = usbdev::FunctionInstanceId(b, kFunction);
    const std::wstring idOther = usbdev::FunctionInstanceId(other, L"USBPRINT\\PnpTestOther");
    ASSERT_TRUE(usbdev::WriteConfigFlags(idB, 0x00000401));

    for (const wchar_t* nothing : {L"USBPRINT\\PnpTestNone", L""}) {
        EXPECT_TRUE(install::MarkDevicesForReinstall(nothing));
        EXPECT_EQ(Flags(idA), 0u);
        EXPECT_EQ(Flags(idB), 0x401u);
        EXPECT_EQ(Flags(idOther), 0u);
    }

    EXPECT_TRUE(install::MarkDevicesForReinstall(kFunction));
    EXPECT_EQ(Flags(idA), 0x20u);
    EXPECT_EQ(Flags(idB), 0x421u);
    EXPECT_EQ(Flags(idOther), 0u);
    EXPECT_EQ(Flags(L"USB\\VID_2F1A&PID_0102\\MARK01"), 0u);
}

// A device whose flags cannot be written ends the marking: false, and the
// devices after it keep their flags.
class RefusingSecondWrite : public install::DeviceProperties {
public:
    int writes = 0;
    BOOL Set(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, const BYTE* buffer, DWORD size) override {
        if (++writes == 2) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return DeviceProperties::Set(set, device, property, buffer, size);
    }
};

TEST_F(Devices, StopsAtTheFirstDeviceThatCannotBeMarked) {
    std::vector<std::wstring> ids;
    for (int i = 1; i <= 3; ++i) {
        const usbdev::UsbPrinter p{plat::Format(L"USB\\VID_2F1A&PID_0102\\STOP%d", i), static_cast<DWORD>(i),
                                   {kFunction}, L"", true};
        Add(p);
        ids.push_back(usbdev::FunctionInstanceId(p, kFunction));
    }
    RefusingSecondWrite properties;
    install::SetDevicePropertiesForTest(&properties);
    EXPECT_FALSE(install::MarkDevicesForReinstall(kFunction));
    EXPECT_EQ(properties.writes, 2);
    int marked = 0;
    for (const auto& id : ids) marked += Flags(id) == 0x20u ? 1 : 0;
    EXPECT_EQ(marked, 1);
}

// The usbdev tool itself: the device, its interface and its functions as the
// setup API and the registry show them, and all of it gone after removal.
TEST_F(Devices, UsbdevMakesAndRemovesAPrinter) {
    const usbdev::UsbPrinter p{L"USB\\VID_2F1A&PID_0102\\TOOL01", 7, {kFunction}, L"", true};
    Add(p);
    EXPECT_EQ(usbdev::ListDevices(L"USB\\VID_2F1A&PID_0102\\TOOL01").size(), 1u);
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-"
                             L"0000f803a8c2}\\##?#usb#vid_2f1a&pid_0102#tool01#{28d78fad-5a12-11d1-ae5b-"
                             L"0000f803a8c2}\\#\\Device Parameters";
    DWORD port = 0, size = sizeof(port);
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Port Number", RRF_RT_REG_DWORD, nullptr, &port, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(port, 7u);
    EXPECT_EQ(Flags(usbdev::FunctionInstanceId(p, kFunction)), 0u);

    EXPECT_TRUE(usbdev::RemoveUsbPrinter(p.instanceId));
    EXPECT_TRUE(usbdev::ListDevices(L"USB\\VID_2F1A&PID_0102\\TOOL01").empty());
    EXPECT_TRUE(usbdev::ListDevices(kFunction).empty());
    EXPECT_NE(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Port Number", RRF_RT_REG_DWORD, nullptr, &port, &size),
              ERROR_SUCCESS);
}

}  // namespace
