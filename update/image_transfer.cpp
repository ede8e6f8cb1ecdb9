#include "update/image_transfer.h"

#include "update/image_packets.h"
#include "update/packet_exchange.h"
#include "update/reply_verdict.h"
#include "update/update_image.h"

#include <exception>
#include <optional>
#include <utility>

MessageId RefusalMessage(UpdateFileRefusal refusal)
{
    switch (refusal) {
    case UpdateFileRefusal::ShorterThanHeader:
        return MessageId::FileTooShort;
    case UpdateFileRefusal::TooManyBlocks:
        return MessageId::FileTooLarge;
    case UpdateFileRefusal::NoUsableFile:
        break;
    }
    return MessageId::NoUpdateFile;
}

namespace {

// How sending the image ended: nothing for success, else the failure.
struct SendFailure {
    bool abandoned = false;
    MessageId message = MessageId::WriteError;
};
using Failure = std::optional<SendFailure>;

Failure FailureWith(MessageId message)
{
    return SendFailure{.message = message};
}

const Failure kAbandoned = SendFailure{.abandoned = true};

Failure FailureOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::WriteFailed:
        return FailureWith(MessageId::WriteError);
    case Verdict::ProductMismatch:
        return FailureWith(MessageId::ProductMismatch);
    case Verdict::Accepted:
    case Verdict::SendAgain:
        break;
    }
    return std::nullopt;
}

// One exchange; a failure of the link anywhere in it means no product answers.
std::optional<TransferReply> Exchange(ComDevice& link, const TransferPacket& packet)
{
    TransferReply reply;
    try {
        ExchangePacket(link, packet, reply);
    } catch (const ComDevice::ConnectionError&) {
        return std::nullopt;
    }
    return reply;
}

// Sends a data packet until the product takes it, or the transfer fails.
Failure SendBlock(ComDevice& link, TransferView& view, const TransferPacket& packet)
{
    for (int sending = 0; sending < kMaxSendingsOfOneBlock; ++sending) {
        const std::optional<TransferReply> reply = Exchange(link, packet);
        if (!reply)
            return FailureWith(MessageId::NoProduct);
        const Verdict verdict = JudgeDataReply(*reply, packet);
        if (verdict != Verdict::Accepted && verdict != Verdict::SendAgain)
            return FailureOf(verdict);
        if (!view.KeepGoingAfterExchange())
            return kAbandoned;
        if (verdict == Verdict::Accepted)
            return std::nullopt;
    }
    return FailureWith(MessageId::WriteError);
}

// The header packet, then every block; the progress bar is touched only
// once the product has taken the header.
Failure SendImage(ComDevice& link, TransferView& view, UpdateImage& image)
{
    TransferPacket packet;
    BuildHeaderPacket(packet, image);
    const std::optional<TransferReply> reply = Exchange(link, packet);
    if (!reply)
        return FailureWith(MessageId::NoProduct);
    if (const Verdict verdict = JudgeHeaderReply(*reply); verdict != Verdict::Accepted)
        return FailureOf(verdict);
    if (!view.KeepGoingAfterExchange())
        return kAbandoned;

    view.SetProgressRange(image.BlockCount());
    view.SetProgressPosition(0);
    view.SetProgressStep(1);
    for (std::uint32_t number = 0; number < image.BlockCount(); ++number) {
        try {
            BuildDataPacket(packet, image, static_cast<std::uint16_t>(number));
        } catch (const UpdateFileError&) {
            return FailureWith(MessageId::FileReadError);
        }
        if (const Failure failure = SendBlock(link, view, packet))
            return failure;
        view.StepProgress();
        view.Repaint();
    }
    return std::nullopt;
}

// Anything else that goes wrong while the image is sent (memory running
// out, say) ends the transfer like a failed write: the product may hold part
// of an image and needs the update again.
Failure SendImageGuarded(ComDevice& link, TransferView& view, UpdateImage& image)
{
    try {
        return SendImage(link, view, image);
    } catch (const std::exception&) {
        return FailureWith(MessageId::WriteError);
    }
}

class BusyState {
public:
    explicit BusyState(TransferView& view) : m_view(view) { m_view.BeginBusy(); }
    ~BusyState() { m_view.EndBusy(); }
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

private:
    TransferView& m_view;
};

}  // namespace

TransferResult RunImageTransfer(ComDevice& link, TransferView& view, UpdateImageOrRefusal found)
{
    if (!found.HasImage()) {
        const MessageId message = RefusalMessage(found.Refusal());
        view.ShowBox(Box::FileProblem, message);
        return {TransferResult::Ending::Refused, message};
    }
    std::optional<UpdateImage> image(std::move(found.Image()));
    // Only an explicit OK consents: not a box that failed to show.
    if (view.ShowBox(Box::Question, MessageId::Confirm, image->NameText()) != BoxAnswer::Ok)
        return {TransferResult::Ending::Declined, MessageId::Confirm};

    const BusyState busy(view);
    view.EnableWrite(false);
    view.SetStatus(MessageId::Writing);
    const Failure failure = SendImageGuarded(link, view, *image);

    // The button comes back only once the closing box is dismissed and the
    // file is closed.
    if (failure && failure->abandoned) {
        image.reset();
        view.SetFailedState();
        return {TransferResult::Ending::Abandoned, MessageId::Writing};
    }
    if (failure) {
        view.ShowBox(Box::Failure, failure->message);
        image.reset();
        view.SetFailedState();
        return {TransferResult::Ending::Failed, failure->message};
    }
    view.SetStatus(MessageId::Succeeded);
    view.ShowBox(Box::Success, MessageId::Succeeded);
    image.reset();
    view.EnableWrite(true);
    return {TransferResult::Ending::Succeeded, MessageId::Succeeded};
}

TransferResult RunImageTransfer(ComDevice& link, TransferView& view)
{
    return RunImageTransfer(link, view, UpdateImage::FindAndOpen());
}
