#include "update/ImageTransfer.h"

#include "update/ImagePackets.h"
#include "update/PacketExchange.h"
#include "update/ReplyVerdict.h"
#include "update/UpdateImage.h"

#include <optional>

namespace {

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

// How a transfer ended: nothing for success, else the failure's message.
using Failure = std::optional<MessageId>;

Failure FailureOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::WriteFailed:
        return MessageId::WriteError;
    case Verdict::ProductMismatch:
        return MessageId::ProductMismatch;
    case Verdict::Accepted:
    case Verdict::SendAgain:
        break;
    }
    return std::nullopt;
}

// One exchange; an adapter failure anywhere in it means no product answers.
std::optional<TransferReply> Exchange(Kestro2& adapter, const TransferPacket& packet)
{
    TransferReply reply;
    try {
        ExchangePacket(adapter, packet, reply);
    } catch (const Kestro2::ConnectionError&) {
        return std::nullopt;
    }
    return reply;
}

// Sends a data packet until the product takes it, or the transfer fails.
Failure SendBlock(Kestro2& adapter, const TransferPacket& packet)
{
    for (int sending = 0; sending < kMaxSendingsOfOneBlock; ++sending) {
        const std::optional<TransferReply> reply = Exchange(adapter, packet);
        if (!reply)
            return MessageId::NoProduct;
        const Verdict verdict = JudgeDataReply(*reply, packet);
        if (verdict == Verdict::Accepted)
            return std::nullopt;
        if (verdict != Verdict::SendAgain)
            return FailureOf(verdict);
    }
    return MessageId::WriteError;
}

// The header packet, then every block; the progress bar is touched only
// once the product has taken the header.
Failure SendImage(Kestro2& adapter, TransferView& view, UpdateImage& image)
{
    TransferPacket packet;
    BuildHeaderPacket(packet, image);
    const std::optional<TransferReply> reply = Exchange(adapter, packet);
    if (!reply)
        return MessageId::NoProduct;
    if (const Verdict verdict = JudgeHeaderReply(*reply); verdict != Verdict::Accepted)
        return FailureOf(verdict);

    view.SetProgressRange(image.BlockCount());
    view.SetProgressPosition(0);
    view.SetProgressStep(1);
    for (std::uint32_t number = 0; number < image.BlockCount(); ++number) {
        try {
            BuildDataPacket(packet, image, static_cast<std::uint16_t>(number));
        } catch (const UpdateFileError&) {
            return MessageId::FileReadError;
        }
        if (const Failure failure = SendBlock(adapter, packet))
            return failure;
        view.StepProgress();
        view.Repaint();
    }
    return std::nullopt;
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

void RunImageTransfer(Kestro2& adapter, TransferView& view)
{
    UpdateImageOrRefusal found = UpdateImage::FindAndOpen();
    if (!found.HasImage()) {
        view.ShowBox(Box::FileProblem, RefusalMessage(found.Refusal()));
        return;
    }
    std::optional<UpdateImage> image(std::move(found.Image()));
    if (!view.ShowBox(Box::Question, MessageId::Confirm, image->NameText()))
        return;

    const BusyState busy(view);
    view.EnableWrite(false);
    view.SetStatus(MessageId::Writing);
    const Failure failure = SendImage(adapter, view, *image);

    // The button comes back only once the closing box is dismissed and the
    // file is closed.
    if (failure) {
        view.ShowBox(Box::Failure, *failure);
        image.reset();
        view.SetFailedState();
    } else {
        view.SetStatus(MessageId::Succeeded);
        view.ShowBox(Box::Success, MessageId::Succeeded);
        image.reset();
        view.EnableWrite(true);
    }
}
