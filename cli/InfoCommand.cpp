#include "cli/Commands.h"

#include "adapter/LineRate.h"
#include "cli/LineTime.h"
#include "cli/Outcome.h"
#include "cli/ShownText.h"
#include "update/ImageTransfer.h"
#include "update/UpdateImage.h"

ExitCode DescribeUpdateFile(const std::filesystem::path& file, Console& console)
{
    UpdateImageOrRefusal found = UpdateImage::Open(file);
    if (!found.HasImage()) {
        const MessageId message = RefusalMessage(found.Refusal());
        const Outcome outcome = OutcomeOf({TransferResult::Ending::Refused, message}, kCurrentLineRate);
        console.Error(outcome.text + '\n');
        return outcome.code;
    }
    const UpdateImage& image = found.Image();
    std::string text = "product: " + Utf8FromLatin1(image.NameText()) + '\n' +
                       "payload: " + std::to_string(image.PayloadLength()) + " bytes\n" +
                       "blocks: " + std::to_string(image.BlockCount()) + '\n';
    for (const std::uint32_t rate : {kCurrentLineRate, kFirstGenerationLineRate}) {
        const std::string duration = DurationText(LineTimeOfUpdate(image.BlockCount(), rate));
        text += "time at " + std::to_string(rate) + " bit/s: " + duration + '\n';
    }
    console.Out(text);
    return ExitCode::Succeeded;
}
