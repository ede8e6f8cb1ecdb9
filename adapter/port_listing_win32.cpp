#include "port_listing.h"

#include <algorithm>
#include <string>

#include <windows.h>
#include <devguid.h>
#include <setupapi.h>

namespace {

// The USB product string, as the device reported it; Vista and later.
const DEVPROPKEY kBusReportedDeviceDescription = {
    {0x540b947e, 0x8b40, 0x45bc, {0xa8, 0xa2, 0x6a, 0x0b, 0x89, 0x4c, 0xbd, 0xa2}}, 4};

std::string Utf8(const std::wstring& text)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

class DeviceList {
public:
    DeviceList() : m_set(SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT)) {}
    ~DeviceList()
    {
        if (m_set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(m_set);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    HDEVINFO Set() const { return m_set; }

private:
    HDEVINFO m_set;
};

std::wstring InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    // A device instance id is at most 200 characters.
    wchar_t id[201] = {};
    return SetupDiGetDeviceInstanceIdW(set, &device, id, 201, nullptr) ? id : L"";
}

std::wstring PortName(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    return read ? name : L"";
}

std::wstring Description(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    wchar_t text[256] = {};
    DEVPROPTYPE type = 0;
    if (SetupDiGetDevicePropertyW(set, &device, &kBusReportedDeviceDescription, &type, reinterpret_cast<BYTE*>(text),
                                  sizeof text - sizeof(wchar_t), nullptr, 0) &&
        type == DEVPROP_TYPE_STRING)
        return text;
    if (SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_DEVICEDESC, nullptr, reinterpret_cast<BYTE*>(text),
                                          sizeof text - sizeof(wchar_t), nullptr))
        return text;
    return {};
}

}  // namespace

std::vector<PortListing> ListFtdiPorts()
{
    std::vector<PortListing> ports;
    const DeviceList list;
    if (list.Set() == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(list.Set(), index, &device); ++index) {
        const std::optional<UsbIdentity> identity = UsbIdentityOfInstanceId(Utf8(InstanceId(list.Set(), device)));
        const std::wstring port = PortName(list.Set(), device);
        if (!identity || identity->vendorId != kFtdiVendorId || port.empty())
            continue;
        ports.push_back({Utf8(port), identity->serialNumber, Utf8(Description(list.Set(), device))});
    }
    std::ranges::sort(ports, {}, &PortListing::port);
    return ports;
}
