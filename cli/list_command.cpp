#include "cli/commands.h"

#include "adapter/kestro2.h"
#include "cli/shown_text.h"

#include <string>
#include <vector>

namespace {

ExitCode ReportFailure(const Outcome& outcome, StandardStreams& streams, const Texts& texts)
{
    streams.Error(std::string(texts(outcome.message)) + '\n');
    return outcome.code;
}

}  // namespace

ExitCode ListAdapters(StandardStreams& streams, const Texts& texts)
{
    // Listing sets no line rate.
    Kestro2 adapter(kCurrentLineRate);
    std::vector<AdapterListing> adapters;
    try {
        adapter.Initialize();
        adapters = adapter.ListAdapters();
    } catch (const Kestro2::InitializeError&) {
        return ReportFailure(NoDriverOutcome(), streams, texts);
    } catch (const Kestro2::ConnectionError&) {
        return ReportFailure(NoAdapterOutcome(), streams, texts);
    }
    for (const AdapterListing& listed : adapters) {
        // A blank serial number would shift the description into its column.
        const std::string serial = listed.serialNumber.empty() ? "-" : ShownListedText(listed.serialNumber);
        streams.Out(std::to_string(listed.index) + ' ' + serial + ' ' + ShownListedText(listed.description) + '\n');
    }
    return ExitCode::Succeeded;
}
