#include "cli/outcome.h"

#include "cli/closing_text.h"

// The window program has no message for these two endings: it cannot be
// interrupted, and its question has no "no" that leaves a trace.
namespace {

constexpr char kDeclinedText[] = "Not updated: nothing was sent.";
constexpr char kAbandonedText[] = "The update was abandoned. The product needs a new update.";

}  // namespace

Outcome OutcomeOf(const TransferResult& result, std::uint32_t lineRate)
{
    switch (result.ending) {
    case TransferResult::Ending::Declined:
        return DeclinedOutcome();
    case TransferResult::Ending::Abandoned:
        return {ExitCode::Abandoned, kAbandonedText};
    case TransferResult::Ending::Succeeded:
    case TransferResult::Ending::Refused:
    case TransferResult::Ending::Failed:
        break;
    }
    return {ExitCodeOf(result), ClosingText(static_cast<unsigned>(result.message), lineRate)};
}

Outcome NoDriverOutcome(std::uint32_t lineRate)
{
    return {ExitCode::NoDriver, ClosingText(IDS_NO_DRIVER, lineRate)};
}

Outcome NoAdapterOutcome(std::uint32_t lineRate)
{
    return {ExitCode::NoAdapter, ClosingText(IDS_NO_ADAPTER, lineRate)};
}

Outcome DeclinedOutcome()
{
    return {ExitCode::Abandoned, kDeclinedText};
}
