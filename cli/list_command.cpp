#include "cli/commands.h"

#include "adapter/kestro2.h"
#include "adapter/line_rate.h"
#include "cli/outcome.h"
#include "cli/shown_text.h"

#include <vector>

ExitCode ListAdapters(Console& console)
{
    // Listing sets no line rate; the texts are the current generation's.
    Kestro2 adapter(kCurrentLineRate);
    std::vector<AdapterListing> adapters;
    try {
        adapter.Initialize();
        adapters = adapter.ListAdapters();
    } catch (const Kestro2::InitializeError&) {
        const Outcome outcome = NoDriverOutcome(kCurrentLineRate);
        console.Error(outcome.text + '\n');
        return outcome.code;
    } catch (const Kestro2::ConnectionError&) {
        const Outcome outcome = NoAdapterOutcome(kCurrentLineRate);
        console.Error(outcome.text + '\n');
        return outcome.code;
    }
    for (const AdapterListing& listed : adapters) {
        // A blank serial number would shift the description into its column.
        const std::string serial = listed.serialNumber.empty() ? "-" : ShownListedText(listed.serialNumber);
        console.Out(std::to_string(listed.index) + ' ' + serial + ' ' + ShownListedText(listed.description) + '\n');
    }
    return ExitCode::Succeeded;
}
