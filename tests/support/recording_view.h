// A stand-in for the main window that writes down, in order, everything the
// image transfer does on the screen, and answers the confirmation as told.
#pragma once

#include "update/transfer_view.h"

#include <functional>
#include <string>
#include <vector>

class RecordingView final : public TransferView {
public:
    std::vector<std::string> events;
    BoxAnswer answer = BoxAnswer::Ok;  // the answer to the question
    std::function<void()> onStep;      // runs at each step of the progress bar
    // Answers each call after an exchange, which is noted as "exchanged";
    // without it the transfer goes on.
    std::function<bool()> keepGoing;

    BoxAnswer ShowBox(Box box, MessageId text, std::wstring_view prefix) override;
    void SetStatus(MessageId text) override;
    // Also notes whether the update file is closed by then.
    void SetFailedState() override;
    void EnableWrite(bool enable) override;
    void SetProgressRange(std::uint16_t upper) override;
    void SetProgressPosition(int position) override;
    void SetProgressStep(int step) override;
    void StepProgress() override;
    void Repaint() override;
    bool KeepGoingAfterExchange() override;
    void BeginBusy() override;
    void EndBusy() override;
};
