#include "cli/exit_code.h"

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
    case MessageId::WriteError:
    case MessageId::Confirm:
    case MessageId::Writing:
    case MessageId::Succeeded:
        break;
    }
    // A failure is never reported as success.
    return ExitCode::WriteError;
}

}  // namespace

ExitCode ExitCodeOf(const TransferResult& result)
{
    switch (result.ending) {
    case TransferResult::Ending::Succeeded:
        return ExitCode::Succeeded;
    case TransferResult::Ending::Declined:
    case TransferResult::Ending::Abandoned:
        return ExitCode::Abandoned;
    case TransferResult::Ending::Refused:
    case TransferResult::Ending::Failed:
        break;
    }
    return FailureCode(result.message);
}
