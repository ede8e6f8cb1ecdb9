#include "cli/commands.h"

#include "adapter/kestro2.h"
#include "adapter/port_listing.h"
#include "cli/shown_text.h"

#include <optional>
#include <string>
#include <vector>

namespace {

// A blank serial number would shift the description into its column.
std::string ShownSerialNumber(const std::string& serialNumber)
{
    return serialNumber.empty() ? "-" : ShownListedText(serialNumber);
}

}  // namespace

// The D2XX adapters by index, then the FTDI adapters' serial ports by path:
// one adapter seen both ways shows the same serial number twice. Without
// the D2XX library, or without its listing, the ports still show.
ExitCode ListAdapters(StandardStreams& streams, const Texts& texts)
{
    // Listing sets no line rate.
    Kestro2 adapter(kCurrentLineRate);
    std::vector<AdapterListing> adapters;
    std::optional<Outcome> failure;
    try {
        adapter.Initialize();
        adapters = adapter.ListAdapters();
    } catch (const Kestro2::InitializeError&) {
        failure = NoDriverOutcome();
    } catch (const Kestro2::ConnectionError&) {
        failure = NoAdapterOutcome();
    }
    const std::vector<PortListing> ports = ListFtdiPorts();
    if (failure)
        streams.Error(std::string(texts(failure->message)) + '\n');

    std::string text;
    for (const AdapterListing& listed : adapters) {
        text += std::to_string(listed.index) + ' ' + ShownSerialNumber(listed.serialNumber) + ' ' +
                ShownListedText(listed.description) + '\n';
    }
    for (const PortListing& listed : ports) {
        text += ShownListedText(listed.port) + ' ' + ShownSerialNumber(listed.serialNumber) + ' ' +
                ShownListedText(listed.description) + '\n';
    }
    streams.Out(text);
    return failure && ports.empty() ? failure->code : ExitCode::Succeeded;
}
