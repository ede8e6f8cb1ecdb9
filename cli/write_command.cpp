#include "cli/commands.h"

#include "adapter/kestro2.h"
#include "adapter/serial_port.h"
#include "cli/cli_transfer_view.h"
#include "cli/consent.h"
#include "cli/json_lines.h"
#include "cli/latency_timer_request.h"
#include "cli/outcome.h"
#include "cli/progress_display.h"
#include "cli/shown_text.h"
#include "cli/terminal.h"
#include "update/image_transfer.h"
#include "update/update_image.h"

#include <algorithm>
#include <exception>
#include <functional>
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
            m_streams.Out(
                ResultEventLine(adapter, outcome.code, m_texts.English(outcome.message), outcome.latencyTimerMs));
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

// How an adapter is opened: by serial number, or as the window program
// opens device 0, by index.
struct AdapterChoice {
    std::optional<std::string> serialNumber;
    std::uint32_t index = 0;
};

// The link to one product, made and opened where it is written; raises
// ComDevice's exceptions.
using LinkOpener = std::function<std::unique_ptr<ComDevice>()>;

LinkOpener AdapterOpener(std::uint32_t lineRate, AdapterChoice choice)
{
    return [lineRate, choice] {
        auto adapter = std::make_unique<Kestro2>(lineRate);
        adapter->Initialize();
        if (choice.serialNumber)
            adapter->OpenBySerialNumber(*choice.serialNumber);
        else
            adapter->Open(choice.index);
        return std::unique_ptr<ComDevice>(std::move(adapter));
    };
}

LinkOpener PortOpener(std::uint32_t lineRate, std::string path)
{
    return [lineRate, path] {
        auto port = std::make_unique<SerialPort>(path, lineRate);
        port->Open();
        return std::unique_ptr<ComDevice>(std::move(port));
    };
}

// One product to write: how it is named, and how its link is opened.
struct Target {
    AdapterName name;
    LinkOpener openLink;
};

// One product's update: opens its link, asks it for the latency timer once
// the line is configured, and runs the transfer.
Outcome WriteThroughLink(const LinkOpener& openLink, LatencyTimerRequest& latencyTimer, UpdateImageOrRefusal found,
                         CliTransferView& view)
{
    std::unique_ptr<ComDevice> link;
    std::optional<unsigned> latencyTimerMs;
    try {
        link = openLink();
        latencyTimerMs = latencyTimer.ApplyTo(*link);
        link->SetTimeouts(kTransferTimeoutMs, kTransferTimeoutMs);
    } catch (const ComDevice::InitializeError&) {
        return NoDriverOutcome();
    } catch (const ComDevice::ConnectionError&) {
        return NoAdapterOutcome();
    }
    Outcome outcome = OutcomeOf(RunImageTransfer(*link, view, std::move(found)));
    outcome.latencyTimerMs = latencyTimerMs;
    return outcome;
}

ExitCode WriteOneAdapter(const Options& options, StandardStreams& streams, const Texts& texts, Consent& consent)
{
    const Results results(streams, texts, options.json, false);
    const std::uint32_t lineRate = LineRateOf(options.configuration);
    Kestro2 lister(lineRate);
    try {
        lister.Initialize();
    } catch (const Kestro2::InitializeError&) {
        return results.Report(options.serialNumber, NoDriverOutcome());
    }
    const AdapterName name = options.serialNumber ? options.serialNumber : ListedName(lister, options.index);
    const std::unique_ptr<ProgressDisplay> progress =
        MakeProgressDisplay(FormOfProgress(options.json), streams, texts, {name});
    CliTransferView view(consent, *progress, 0);
    LatencyTimerRequest latencyTimer(options.latencyTimerMs, streams, texts);
    const Outcome outcome = WriteThroughLink(AdapterOpener(lineRate, {options.serialNumber, options.index}),
                                             latencyTimer, OpenUpdateFile(options), view);
    progress->Finish(0);
    return results.Report(name, outcome);
}

// The code of a run that wrote several products: the user's abandoning
// speaks for the whole run.
ExitCode CodeOfSeveral(const std::vector<Outcome>& outcomes)
{
    const auto hasCode = [](ExitCode code) { return [code](const Outcome& outcome) { return outcome.code == code; }; };
    if (std::ranges::any_of(outcomes, hasCode(ExitCode::Abandoned)))
        return ExitCode::Abandoned;
    if (std::ranges::all_of(outcomes, hasCode(ExitCode::Succeeded)))
        return ExitCode::Succeeded;
    return ExitCode::SomeAdapterFailed;
}

// How writing several targets went: each target's outcome, or the one
// outcome that ended the run before any was written.
struct SeveralOutcomes {
    std::optional<Outcome> endedBefore;
    std::vector<Outcome> outcomes;
};

// Every target at once, each on a thread of its own with a link of its own.
// The update file is read once, before the question, and every transfer
// reads its own image over the same bytes in memory.
SeveralOutcomes WriteEachTarget(const std::vector<Target>& targets, const Options& options,
                                     StandardStreams& streams, const Texts& texts, Consent& consent)
{
    const Results results(streams, texts, options.json, true);
    UpdateImageOrRefusal found = OpenUpdateFile(options);
    if (!found.HasImage()) {
        const TransferResult refused{TransferResult::Ending::Refused, RefusalMessage(found.Refusal())};
        results.Report(std::nullopt, OutcomeOf(refused));
        return {OutcomeOf(refused), {}};
    }
    try {
        found.Image().ReadPayloadIntoMemory();
    } catch (const UpdateFileError&) {
        const TransferResult unread{TransferResult::Ending::Failed, MessageId::FileReadError};
        results.Report(std::nullopt, OutcomeOf(unread));
        return {OutcomeOf(unread), {}};
    }
    if (!consent.To(found.Image().NameText())) {
        results.Report(std::nullopt, DeclinedOutcome());
        return {DeclinedOutcome(), {}};
    }

    std::vector<AdapterName> names;
    for (const Target& target : targets)
        names.push_back(target.name);
    const std::unique_ptr<ProgressDisplay> progress =
        MakeProgressDisplay(FormOfProgress(options.json), streams, texts, names);
    std::vector<Outcome> outcomes(targets.size(), Outcome{ExitCode::WriteError, MessageId::WriteError});
    LatencyTimerRequest latencyTimer(options.latencyTimerMs, streams, texts);
    {
        std::vector<std::jthread> threads;
        for (std::size_t slot = 0; slot < targets.size(); ++slot) {
            threads.emplace_back([&, slot, image = found.Image().SharedCopy()]() mutable {
                CliTransferView view(consent, *progress, slot);
                try {
                    outcomes[slot] = WriteThroughLink(targets[slot].openLink, latencyTimer, std::move(image), view);
                } catch (const std::exception&) {
                    // Nothing but the view raises through the transfer; a
                    // failure there leaves the product as a failed write does.
                    outcomes[slot] = OutcomeOf({TransferResult::Ending::Failed, MessageId::WriteError});
                }
                progress->Finish(slot);
            });
        }
    }
    for (std::size_t slot = 0; slot < targets.size(); ++slot)
        results.Report(names[slot], outcomes[slot]);
    return {std::nullopt, outcomes};
}

// Every listed adapter at once.
ExitCode WriteEveryAdapter(const Options& options, StandardStreams& streams, const Texts& texts, Consent& consent)
{
    const std::uint32_t lineRate = LineRateOf(options.configuration);
    std::vector<AdapterListing> adapters;
    Kestro2 lister(lineRate);
    const Results results(streams, texts, options.json, true);
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

    std::vector<Target> targets;
    for (const AdapterListing& listed : adapters) {
        const AdapterName name = NameOf(listed.serialNumber);
        targets.push_back({name, AdapterOpener(lineRate, {name, listed.index})});
    }
    const SeveralOutcomes written = WriteEachTarget(targets, options, streams, texts, consent);
    return written.endedBefore ? written.endedBefore->code : CodeOfSeveral(written.outcomes);
}

// The system's serial ports, each named as it was given; one port's run
// ends with that port's own code.
ExitCode WritePorts(const Options& options, StandardStreams& streams, const Texts& texts, Consent& consent)
{
    std::vector<Target> targets;
    for (const std::string& port : options.ports)
        targets.push_back({port, PortOpener(LineRateOf(options.configuration), port)});
    const SeveralOutcomes written = WriteEachTarget(targets, options, streams, texts, consent);
    if (written.endedBefore)
        return written.endedBefore->code;
    return targets.size() == 1 ? written.outcomes.front().code : CodeOfSeveral(written.outcomes);
}

}  // namespace

ExitCode WriteUpdate(const Options& options, StandardStreams& streams, const Texts& texts)
{
    Consent consent(streams, texts, options.yes);
    if (!options.ports.empty())
        return WritePorts(options, streams, texts, consent);
    return options.all ? WriteEveryAdapter(options, streams, texts, consent)
                       : WriteOneAdapter(options, streams, texts, consent);
}
