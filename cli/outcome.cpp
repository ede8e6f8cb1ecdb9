#include "cli/outcome.h"

namespace {

ExitCode FailureCode(MessageId message)
{
    switch (message) {
    case MessageId::NoProduct:
        return ExitCode::NoProduct;
    case MessageId::ProductMismatch:
        return ExitCode::ProductMismatch;
    case MessageId::NoUpdateFile:
        return ExitCode::NoUpdateFile;
    case MessageId::FileTooShort:
    case MessageId::FileTooLarge:
        return ExitCode::UpdateFileRefused;
    case MessageId::FileReadError:
        return ExitCode::UpdateFileReadError;
    default:
        break;
    }
    // A failure is never reported as success.
    return ExitCode::WriteError;
}

}  // namespace

Outcome OutcomeOf(const TransferResult& result)
{
    switch (result.ending) {
    case TransferResult::Ending::Succeeded:
        return {ExitCode::Succeeded, result.message};
    case TransferResult::Ending::Declined:
        return DeclinedOutcome();
    case TransferResult::Ending::Abandoned:
        // The window program has no message for this ending: it cannot be
        // interrupted.
        return {ExitCode::Abandoned, MessageId::Abandoned};
    case TransferResult::Ending::Refused:
    case TransferResult::Ending::Failed:
        break;
    }
    return {FailureCode(result.message), result.message};
}

Outcome NoDriverOutcome()
{
    return {ExitCode::NoDriver, MessageId::NoDriver};
}

Outcome NoAdapterOutcome()
{
    return {ExitCode::NoAdapter, MessageId::NoAdapter};
}

Outcome DeclinedOutcome()
{
    return {ExitCode::Abandoned, MessageId::Declined};
}
