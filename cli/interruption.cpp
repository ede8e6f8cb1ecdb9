#include "cli/interruption.h"
#include "cli/interruption_state.h"

#include <atomic>

namespace {

std::atomic<int> g_writing{0};
std::atomic<int> g_interruptions{0};
static_assert(std::atomic<int>::is_always_lock_free);

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
