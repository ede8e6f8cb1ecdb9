// What the image transfer needs of the screen: message boxes, the status
// line, the WRITE button, the progress bar, repainting and the busy state.
// The main window implements it with Win32; tests record what it is told.
#pragma once

#include "messages/message_id.h"

#include <cstdint>
#include <string_view>

enum class Box {
    FileProblem,  // caption "Update", stop icon, OK
    Question,     // caption "Update", question icon, OK and Cancel
    Failure,      // caption the word for error, stop icon, OK
    Success,      // caption "Update", information icon, OK
};

// The button that closed a box, by the platform's numbers for them; a box
// that could not be shown at all gives NotShown.
enum class BoxAnswer : int {
    NotShown = 0,
    Ok = 1,
    Cancel = 2,
};

class TransferView {
public:
    // A modal box owned by the main window, showing `prefix` immediately
    // followed by the text of `text`.
    virtual BoxAnswer ShowBox(Box box, MessageId text, std::wstring_view prefix = {}) = 0;
    virtual void SetStatus(MessageId text) = 0;
    // Status "Failed" and the WRITE button enabled, after an error box.
    virtual void SetFailedState() = 0;
    virtual void EnableWrite(bool enable) = 0;

    // The progress bar, which keeps what it shows from one transfer to the next.
    virtual void SetProgressRange(std::uint16_t upper) = 0;  // from 0
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetProgressStep(int step) = 0;
    virtual void StepProgress() = 0;

    // Paints what is pending now. Called once for every block the product
    // takes.
    virtual void Repaint() = 0;

    // Called after every exchange with the product: the header's, and every
    // sending of a block, resends included, so that no stretch of a transfer
    // goes without it for longer than one exchange. The window answers the
    // messages other programs send it here; a terminal program looks whether
    // its user has abandoned the update. False abandons the transfer.
    virtual bool KeepGoingAfterExchange() = 0;

    // From the confirmation to the end of a transfer: the wait cursor shows,
    // and the PC must not go to sleep, which would leave the product half
    // written.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

protected:
    ~TransferView() = default;
};
