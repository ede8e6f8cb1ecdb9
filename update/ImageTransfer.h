// The update, from the click on WRITE to the closing message: find the update
// file, confirm its product, send the header packet and every block, sending
// again what the product rejects, and report success or the failure.
#pragma once

#include "adapter/Kestro2.h"
#include "update/TransferView.h"

// A product that rejects the same block this many times in a row is not going
// to take it: the transfer ends as a failed write. Even a line that spoils
// every second exchange gets a block through well within this bound, which
// costs about 4 s at 100000 bit/s and 30 s at 9600 bit/s.
inline constexpr int kMaxSendingsOfOneBlock = 100;

// Returns when the transfer has ended and its closing box was dismissed. The
// update file is closed on every path. Raises nothing of the adapter's or the
// update file's: their failures end the transfer with a message.
void RunImageTransfer(Kestro2& adapter, TransferView& view);
