#include "tests/support/recording_view.h"

#include "messages/catalogue.h"
#include "tests/support/update_folder.h"

namespace {

const char* BoxName(Box box)
{
    switch (box) {
    case Box::FileProblem:
        return "file problem";
    case Box::Question:
        return "question";
    case Box::Failure:
        return "failure";
    case Box::Success:
        return "success";
    }
    return "?";
}

std::string Name(MessageId text)
{
    return std::string(MessageName(text));
}

// Whether the transfer has let go of the update file: it is held for no
// other opener while it is open.
std::string FileState()
{
    return SearchRefusal().has_value() ? " (file open)" : " (file closed)";
}

}  // namespace

BoxAnswer RecordingView::ShowBox(Box box, MessageId text, std::wstring_view prefix)
{
    std::string event = std::string("box ") + BoxName(box) + " " + Name(text);
    if (!prefix.empty()) {
        event += " after \"";
        for (wchar_t c : prefix)
            event += c < 0x80 ? static_cast<char>(c) : '?';
        event += "\"";
    }
    events.push_back(event);
    return box == Box::Question ? answer : BoxAnswer::Ok;
}

void RecordingView::SetStatus(MessageId text)
{
    events.push_back("status " + Name(text));
}

void RecordingView::SetFailedState()
{
    events.push_back("failed state" + FileState());
}

void RecordingView::EnableWrite(bool enable)
{
    events.push_back(enable ? "button on" + FileState() : "button off");
}

void RecordingView::SetProgressRange(std::uint16_t upper)
{
    events.push_back("progress range 0.." + std::to_string(upper));
}

void RecordingView::SetProgressPosition(int position)
{
    events.push_back("progress position " + std::to_string(position));
}

void RecordingView::SetProgressStep(int step)
{
    events.push_back("progress step " + std::to_string(step));
}

void RecordingView::StepProgress()
{
    events.push_back("progress step it");
    if (onStep)
        onStep();
}

void RecordingView::Repaint()
{
    events.push_back("repaint");
}

bool RecordingView::KeepGoingAfterExchange()
{
    events.push_back("exchanged");
    return !keepGoing || keepGoing();
}

void RecordingView::BeginBusy()
{
    events.push_back("busy");
}

void RecordingView::EndBusy()
{
    events.push_back("not busy");
}
