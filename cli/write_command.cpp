#include "cli/commands.h"

#include "adapter/kestro2.h"
#include "cli/cli_transfer_view.h"
#include "cli/consent.h"
#include "cli/json_lines.h"
#include "cli/outcome.h"
#include "cli/progress_display.h"
#include "cli/shown_text.h"
#include "cli/terminal.h"
#include "update/image_transfer.h"
#include "update/update_image.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using AdapterName = std::optional<std::string>;

// What one adapter's work says when it ends: a JSON result with the English
// message, or the closing line in the user's language, after the adapter's
// serial number when several are written.
class Results {
public:
    Results(StandardStreams& streams, const Texts& texts, bool json, bool nameAdapters)
        : m_streams(streams), m_texts(texts), m_json(json), m_nameAdapters(nameAdapters)
    {
    }

    ExitCode Report(const AdapterName& adapter, const Outcome& outcome) const
    {
        const std::string text(m_texts(outcome.message));
        if (m_json)
            m_streams.Out(ResultEventLine(adapter, outcome.code, m_texts.English(outcome.message)));
        else if (m_nameAdapters && adapter)
            m_streams.Out(ShownListedText(*adapter) + ": " + text + '\n');
        else
            m_streams.Out(text + '\n');
        return outcome.code;
    }

private:
    StandardStreams& m_streams;
    const Texts& m_texts;
    bool m_json;
    bool m_nameAdapters;
};

ProgressForm FormOfProgress(bool json)
{
    if (json)
        return ProgressForm::JsonEvents;
    if (IsTerminal(StandardStream::Error) && PrepareTerminal())
        return ProgressForm::TerminalBars;
    return ProgressForm::PlainLines;
}

UpdateImageOrRefusal OpenUpdateFile(const Options& options)
{
    return options.file ? UpdateImage::Open(*options.file) : UpdateImage::FindAndOpen();
}

// A serial number that the listing leaves blank names no adapter.
AdapterName NameOf(const std::string& serialNumber)
{
    return serialNumber.empty() ? AdapterName() : AdapterName(serialNumber);
}

// The serial number of the adapter at `index`, for the result to name it;
// nothing when the listing cannot tell. Opening it decides the outcome.
AdapterName ListedName(Kestro2& adapter, std::uint32_t index)
{
    try {
        for (const AdapterListing& listed : adapter.ListAdapters()) {
            if (listed.index == index)
                return NameOf(listed.serialNumber);
        }
    } catch (const Kestro2::ConnectionError&) {
    }
    return std::nullopt;
}

// How the adapter is opened: by serial number, or as the window program
// opens device 0, by index.
struct AdapterChoice {
    std::optional<std::string> serialNumber;
    std::uint32_t index = 0;
};

// One adapter's update through `adapter`, whose library is loaded: opens
// the adapter and runs the transfer.
Outcome WriteThroughAdapter(Kestro2& adapter, const AdapterChoice& choice, UpdateImageOrRefusal found,
                            CliTransferView& view)
{
    try {
        if (choice.serialNumber)
            adapter.OpenBySerialNumber(*choice.serialNumber);
        else
            adapter.Open(choice.index);
        adapter.SetTimeouts(kTransferTimeoutMs, kTransferTimeoutMs);
    } catch (const Kestro2::ConnectionError&) {
        return NoAdapterOutcome();
    }
    return OutcomeOf(RunImageTransfer(adapter, view, std::move(found)));
}

ExitCode WriteOneAdapter(const Options& options, StandardStreams& streams, const Texts& texts, Consent& consent)
{
    const Results results(streams, texts, options.json, false);
    Kestro2 adapter(LineRateOf(options.configuration));
    try {
        adapter.Initialize();
    } catch (const Kestro2::InitializeError&) {
        return results.Report(options.serialNumber, NoDriverOutcome());
    }
    const AdapterName name = options.serialNumber ? options.serialNumber : ListedName(adapter, options.index);
    const std::unique_ptr<ProgressDisplay> progress =
        MakeProgressDisplay(FormOfProgress(options.json), streams, texts, {name});
    CliTransferView view(consent, *progress, 0);
    const Outcome outcome =
        WriteThroughAdapter(adapter, {options.serialNumber, options.index}, OpenUpdateFile(options), view);
    progress->Finish(0);
    return results.Report(name, outcome);
}

// Every listed adapter at once, each on a thread of its own with its own
// device handle. The update file is read once, before the question, and
// every transfer reads its own image over the same bytes in memory.
ExitCode WriteEveryAdapter(const Options& options, StandardStreams& streams, const Texts& texts, Consent& consent)
{
    const Results results(streams, texts, options.json, true);
    const std::uint32_t lineRate = LineRateOf(options.configuration);
    std::vector<AdapterListing> adapters;
    Kestro2 lister(lineRate);
    try {
        lister.Initialize();
        adapters = lister.ListAdapters();
    } catch (const Kestro2::InitializeError&) {
        return results.Report(std::nullopt, NoDriverOutcome());
    } catch (const Kestro2::ConnectionError&) {
        return results.Report(std::nullopt, NoAdapterOutcome());
    }
    if (adapters.empty())
        return results.Report(std::nullopt, NoAdapterOutcome());

    UpdateImageOrRefusal found = OpenUpdateFile(options);
    if (!found.HasImage()) {
        const TransferResult refused{TransferResult::Ending::Refused, RefusalMessage(found.Refusal())};
        return results.Report(std::nullopt, OutcomeOf(refused));
    }
    try {
        found.Image().ReadPayloadIntoMemory();
    } catch (const UpdateFileError&) {
        const TransferResult unread{TransferResult::Ending::Failed, MessageId::FileReadError};
        return results.Report(std::nullopt, OutcomeOf(unread));
    }
    if (!consent.To(found.Image().NameText()))
        return results.Report(std::nullopt, DeclinedOutcome());

    std::vector<AdapterName> names;
    for (const AdapterListing& listed : adapters)
        names.push_back(NameOf(listed.serialNumber));
    const std::unique_ptr<ProgressDisplay> progress =
        MakeProgressDisplay(FormOfProgress(options.json), streams, texts, names);
    std::vector<Outcome> outcomes(adapters.size(), Outcome{ExitCode::WriteError, MessageId::WriteError});
    {
        std::vector<std::jthread> threads;
        for (std::size_t slot = 0; slot < adapters.size(); ++slot) {
            const AdapterChoice choice{NameOf(adapters[slot].serialNumber), adapters[slot].index};
            threads.emplace_back([&, slot, choice, image = found.Image().SharedCopy()]() mutable {
                CliTransferView view(consent, *progress, slot);
                Kestro2 adapter(lineRate);
                try {
                    adapter.Initialize();
                    outcomes[slot] = WriteThroughAdapter(adapter, choice, std::move(image), view);
                } catch (const Kestro2::InitializeError&) {
                    outcomes[slot] = NoDriverOutcome();
                } catch (const std::exception&) {
                    // Nothing but the view raises through the transfer; a
                    // failure there leaves the product as a failed write does.
                    const TransferResult failed{TransferResult::Ending::Failed, MessageId::WriteError};
                    outcomes[slot] = OutcomeOf(failed);
                }
                progress->Finish(slot);
            });
        }
    }

    for (std::size_t slot = 0; slot < adapters.size(); ++slot)
        results.Report(names[slot], outcomes[slot]);
    const auto hasCode = [](ExitCode code) { return [code](const Outcome& outcome) { return outcome.code == code; }; };
    // The user's abandoning speaks for the whole run.
    if (std::ranges::any_of(outcomes, hasCode(ExitCode::Abandoned)))
        return ExitCode::Abandoned;
    if (std::ranges::all_of(outcomes, hasCode(ExitCode::Succeeded)))
        return ExitCode::Succeeded;
    return ExitCode::SomeAdapterFailed;
}

}  // namespace

ExitCode WriteUpdate(const Options& options, StandardStreams& streams, const Texts& texts)
{
    Consent consent(streams, texts, options.yes);
    return options.all ? WriteEveryAdapter(options, streams, texts, consent)
                       : WriteOneAdapter(options, streams, texts, consent);
}
