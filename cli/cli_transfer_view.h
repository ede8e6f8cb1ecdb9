// update-cli's view of a transfer, one per adapter: the question becomes
// the consent, the progress bar the progress display, the closing boxes are
// left to the closing line that the caller prints from the transfer's
// result, and after every exchange the view looks whether the user has
// abandoned the update.
#pragma once

#include "cli/consent.h"
#include "cli/progress_display.h"
#include "update/transfer_view.h"

#include <cstddef>
#include <cstdint>

class CliTransferView final : public TransferView {
public:
    CliTransferView(Consent& consent, ProgressDisplay& progress, std::size_t slot)
        : m_consent(consent), m_progress(progress), m_slot(slot)
    {
    }

    BoxAnswer ShowBox(Box box, MessageId text, std::wstring_view prefix) override;
    void SetStatus(MessageId) override {}
    void SetFailedState() override {}
    void EnableWrite(bool) override {}
    void SetProgressRange(std::uint16_t upper) override;
    void SetProgressPosition(int position) override;
    void SetProgressStep(int) override {}
    void StepProgress() override;
    void Repaint() override {}
    bool KeepGoingAfterExchange() override;
    // From the consent to the end of the transfer, interruptions no longer
    // end the program.
    void BeginBusy() override;
    void EndBusy() override;

private:
    Consent& m_consent;
    ProgressDisplay& m_progress;
    std::size_t m_slot;
    std::uint32_t m_blocksDone = 0;
};
