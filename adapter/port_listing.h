// The system's serial ports that belong to FTDI adapters (USB vendor
// 0x0403), as the system lists them: so that an adapter seen both as a D2XX
// device and as a port is known by its serial number. One implementation
// file per platform: udev on Linux, SetupAPI's ports class on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr unsigned kFtdiVendorId = 0x0403;

struct PortListing {
    std::string port;          // a device path on Linux, COMn on Windows
    std::string serialNumber;  // the USB serial number; empty when the system shows none
    std::string description;   // the USB product string, or the system's name for the port

    bool operator==(const PortListing&) const = default;
};

// In the order of their ports; empty when the system can list none.
std::vector<PortListing> ListFtdiPorts();

// What a Windows device instance id tells of a USB device: its vendor id and
// serial number. "USB\VID_0403&PID_6001\KS000201" is the USB device itself;
// "FTDIBUS\VID_0403+PID_6001+KS000201A\0000" a port of FTDI's bus driver,
// which puts the adapter's channel letter behind the serial number. Nothing
// for an id that names no USB vendor.
struct UsbIdentity {
    unsigned vendorId;
    std::string serialNumber;

    bool operator==(const UsbIdentity&) const = default;
};
std::optional<UsbIdentity> UsbIdentityOfInstanceId(std::string_view instanceId);
