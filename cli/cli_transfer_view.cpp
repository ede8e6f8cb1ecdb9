#include "cli/cli_transfer_view.h"

#include "cli/interruption.h"

BoxAnswer CliTransferView::ShowBox(Box box, MessageId, std::wstring_view prefix)
{
    if (box == Box::Question)
        return m_consent.To(prefix) ? BoxAnswer::Ok : BoxAnswer::Cancel;
    return BoxAnswer::Ok;
}

void CliTransferView::SetProgressRange(std::uint16_t upper)
{
    m_progress.Start(m_slot, upper);
}

void CliTransferView::SetProgressPosition(int position)
{
    m_blocksDone = static_cast<std::uint32_t>(position);
}

void CliTransferView::StepProgress()
{
    m_progress.Advance(m_slot, ++m_blocksDone);
}

bool CliTransferView::KeepGoingAfterExchange()
{
    return !AbandonRequested();
}

void CliTransferView::BeginBusy()
{
    BeginWriting();
}

void CliTransferView::EndBusy()
{
    EndWriting();
}
