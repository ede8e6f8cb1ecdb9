#include "cli/console_view.h"

#include "cli/interruption.h"

BoxAnswer ConsoleView::ShowBox(Box box, MessageId, std::wstring_view prefix)
{
    if (box == Box::Question)
        return m_consent.To(prefix) ? BoxAnswer::Ok : BoxAnswer::Cancel;
    return BoxAnswer::Ok;
}

void ConsoleView::SetProgressRange(std::uint16_t upper)
{
    m_progress.Start(m_slot, upper);
}

void ConsoleView::SetProgressPosition(int position)
{
    m_blocksDone = static_cast<std::uint32_t>(position);
}

void ConsoleView::StepProgress()
{
    m_progress.Advance(m_slot, ++m_blocksDone);
}

bool ConsoleView::KeepGoingAfterExchange()
{
    return !AbandonRequested();
}

void ConsoleView::BeginBusy()
{
    BeginWriting();
}

void ConsoleView::EndBusy()
{
    EndWriting();
}
