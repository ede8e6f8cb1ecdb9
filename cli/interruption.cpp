#include "cli/interruption.h"
#include "cli/interruption_state.h"

#include <atomic>
#include <string>

namespace {

std::atomic<int> g_writing{0};
std::atomic<int> g_interruptions{0};
static_assert(std::atomic<int>::is_always_lock_free);
// Written once before the handlers exist, only read after.
std::string g_notices[2];

}  // namespace

void BeginWriting()
{
    ++g_writing;
}

void EndWriting()
{
    --g_writing;
}

bool AbandonRequested()
{
    return g_interruptions.load() >= 2;
}

bool IsWriting()
{
    return g_writing.load() != 0;
}

int CountInterruption()
{
    return ++g_interruptions;
}

void ChooseInterruptionNotices(const Texts& texts)
{
    g_notices[0] = '\n' + std::string(texts(MessageId::FirstInterruption)) + '\n';
    g_notices[1] = '\n' + std::string(texts(MessageId::SecondInterruption)) + '\n';
}

std::string_view InterruptionNotice(int count)
{
    return count == 1 || count == 2 ? std::string_view(g_notices[count - 1]) : std::string_view();
}
