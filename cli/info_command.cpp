#include "cli/commands.h"

#include "adapter/configuration.h"
#include "cli/line_time.h"
#include "cli/shown_text.h"
#include "update/image_transfer.h"
#include "update/update_image.h"

#include <string>

ExitCode DescribeUpdateFile(const std::filesystem::path& file, StandardStreams& streams, const Texts& texts)
{
    UpdateImageOrRefusal found = UpdateImage::Open(file);
    if (!found.HasImage()) {
        const Outcome outcome = OutcomeOf({TransferResult::Ending::Refused, RefusalMessage(found.Refusal())});
        streams.Error(std::string(texts(outcome.message)) + '\n');
        return outcome.code;
    }
    const UpdateImage& image = found.Image();
    std::string text = texts(MessageId::InfoProduct, {Utf8FromLatin1(image.NameText())}) + '\n' +
                       texts(MessageId::InfoPayload, {std::to_string(image.PayloadLength())}) + '\n' +
                       texts(MessageId::InfoBlocks, {std::to_string(image.BlockCount())}) + '\n';
    for (const std::uint32_t rate : {kCurrentLineRate, kFirstGenerationLineRate}) {
        const std::string duration = DurationText(LineTimeOfUpdate(image.BlockCount(), rate), texts);
        text += texts(MessageId::InfoTime, {std::to_string(rate), duration}) + '\n';
    }
    streams.Out(text);
    return ExitCode::Succeeded;
}
