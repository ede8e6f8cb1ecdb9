#include "port_listing.h"

#include <cctype>
#include <charconv>

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view start)
{
    if (text.size() < start.size())
        return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(start[i])))
            return false;
    }
    return true;
}

std::optional<unsigned> HexNumber(std::string_view digits)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<UsbIdentity> UsbIdentityOfInstanceId(std::string_view instanceId)
{
    const std::size_t slash = instanceId.find('\\');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view enumerator = instanceId.substr(0, slash);
    const std::string_view rest = instanceId.substr(slash + 1);
    const bool ftdiBus = StartsWithIgnoringCase(enumerator, "FTDIBUS") && enumerator.size() == 7;
    const bool usb = StartsWithIgnoringCase(enumerator, "USB") && enumerator.size() == 3;
    if ((!ftdiBus && !usb) || !StartsWithIgnoringCase(rest, "VID_"))
        return std::nullopt;
    const std::optional<unsigned> vendor = HexNumber(rest.substr(4, 4));
    if (!vendor || rest.size() < 8)
        return std::nullopt;

    // USB\VID_vvvv&PID_pppp\SERIAL; FTDIBUS\VID_vvvv+PID_pppp+SERIALc\0000.
    std::string serialNumber;
    if (usb) {
        const std::size_t serialStart = rest.find('\\');
        if (serialStart != std::string_view::npos)
            serialNumber = rest.substr(serialStart + 1);
        // Windows makes up an id with '&' for a device without a serial number.
        if (serialNumber.find('&') != std::string::npos)
            serialNumber.clear();
    } else {
        const std::size_t plus = rest.find('+', 9);
        const std::size_t end = rest.find('\\');
        if (plus != std::string_view::npos && end != std::string_view::npos && end > plus + 1)
            serialNumber = rest.substr(plus + 1, end - plus - 2);
    }
    return UsbIdentity{*vendor, serialNumber};
}
