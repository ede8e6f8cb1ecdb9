// The update, from the click on WRITE to the closing message: find the update
// file, confirm its product, send the header packet and every block, sending
// again what the product rejects, and report success or the failure.
#pragma once

#include "adapter/com_device.h"
#include "update/transfer_view.h"
#include "update/update_image.h"

#include <cstdint>

// A product that rejects the same block this many times in a row is not going
// to take it: the transfer ends as a failed write. Even a line that spoils
// every second exchange gets a block through well within this bound, which
// costs about 4 s at 100000 bit/s and 30 s at 9600 bit/s.
inline constexpr int kMaxSendingsOfOneBlock = 100;

// The link's read and write time-outs while a product is updated: a
// product may take its time to answer.
inline constexpr std::uint32_t kTransferTimeoutMs = 5000;

// How one transfer ended.
struct TransferResult {
    enum class Ending {
        Succeeded,  // every block taken; `message` is the success message
        Refused,    // no usable update file; `message` says why, nothing was sent
        Declined,   // the user did not answer the question with OK; nothing was sent
        Failed,     // `message` is the closing error box's
        Abandoned,  // the view gave up after an exchange; no closing box
    };
    Ending ending;
    MessageId message;

    friend bool operator==(const TransferResult&, const TransferResult&) = default;
};

// The message that says why the update file was refused.
MessageId RefusalMessage(UpdateFileRefusal refusal);

// Runs one transfer of `found` (the update file, or why there is none) and
// returns when it has ended and its closing box was dismissed. The update
// file is closed on every path. The link's and the update file's failures,
// and any unexpected one while the image is sent, end the transfer with a
// message; only what the view itself raises passes through.
TransferResult RunImageTransfer(ComDevice& link, TransferView& view, UpdateImageOrRefusal found);

// The same with the update file of the working directory, found at the call.
TransferResult RunImageTransfer(ComDevice& link, TransferView& view);
