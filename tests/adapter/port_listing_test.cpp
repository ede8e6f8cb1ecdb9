// What a Windows device instance id tells of the USB device behind a port:
// the listing of COM ports keeps the ports of FTDI adapters by it, and shows
// their serial numbers. (The listing itself needs the devices; Wine has
// none of that kind.)
#include "adapter/port_listing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(UsbIdentityOfInstanceId, ReadsTheVendorAndTheSerialNumber)
{
    const struct {
        const char* id;
        std::optional<UsbIdentity> identity;
    } cases[] = {
        // FTDI's bus driver puts the channel letter behind the serial number.
        {R"(FTDIBUS\VID_0403+PID_6001+KS000201A\0000)", UsbIdentity{0x0403, "KS000201"}},
        {R"(FTDIBUS\VID_0403+PID_6010+FT4XYZB\0000)", UsbIdentity{0x0403, "FT4XYZ"}},
        {R"(ftdibus\vid_0403+pid_6001+ks1a\0000)", UsbIdentity{0x0403, "ks1"}},
        {R"(USB\VID_0403&PID_6001\KS000201)", UsbIdentity{0x0403, "KS000201"}},
        // Windows makes up an id for a device without a serial number.
        {R"(USB\VID_0403&PID_6015\5&1A2B3C4D&0&2)", UsbIdentity{0x0403, ""}},
        {R"(USB\VID_067B&PID_2303\OTHER001)", UsbIdentity{0x067B, "OTHER001"}},
        {R"(ACPI\PNP0501\1)", std::nullopt},
        {R"(USB\ROOT_HUB30\4&1234&0&0)", std::nullopt},
        {R"(FTDIBUS\VID_04G3+PID_6001+KS1A\0000)", std::nullopt},
        {R"(FTDIBUSX\VID_0403+PID_6001+KS1A\0000)", std::nullopt},
        {R"(USB\VID_04)", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsbIdentityOfInstanceId(c.id), c.identity) << c.id;
}
