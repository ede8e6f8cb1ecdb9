#include "port_listing.h"

#include <algorithm>
#include <memory>

#include <libudev.h>

namespace {

struct UdevUnref {
    void operator()(udev* context) const { udev_unref(context); }
    void operator()(udev_enumerate* enumeration) const { udev_enumerate_unref(enumeration); }
    void operator()(udev_device* device) const { udev_device_unref(device); }
};

template <typename Object>
using UdevObject = std::unique_ptr<Object, UdevUnref>;

std::string Text(const char* value)
{
    return value != nullptr ? value : "";
}

}  // namespace

std::vector<PortListing> ListFtdiPorts()
{
    std::vector<PortListing> ports;
    const UdevObject<udev> context(udev_new());
    if (!context)
        return ports;
    const UdevObject<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumeration.get()) < 0)
        return ports;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get()))
    {
        const UdevObject<udev_device> tty(udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty || udev_device_get_devnode(tty.get()) == nullptr)
            continue;
        // The USB device above the port; the port keeps it alive.
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_device");
        if (usb == nullptr || Text(udev_device_get_sysattr_value(usb, "idVendor")) != "0403")
            continue;
        ports.push_back({Text(udev_device_get_devnode(tty.get())), Text(udev_device_get_sysattr_value(usb, "serial")),
                         Text(udev_device_get_sysattr_value(usb, "product"))});
    }
    std::ranges::sort(ports, {}, &PortListing::port);
    return ports;
}
