#include "cli/commands.h"

#include "adapter/line_rate.h"
#include "cli/line_time.h"
#include "cli/outcome.h"
#include "cli/shown_text.h"
#include "update/image_transfer.h"
#include "update/update_image.h"

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
