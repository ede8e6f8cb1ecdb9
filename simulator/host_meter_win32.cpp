#include "host_meter.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

std::wstring EventName(const wchar_t* kind)
{
    return std::wstring(L"d2xx-sim-meter-") + kind + L"-" + std::to_wstring(GetCurrentProcessId());
}

// The host's open handles, counted in the system's table of handles: Wine
// answers GetProcessHandleCount with 0, but keeps that table.
long HandleCount()
{
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch) {
            buffer.resize(std::max<std::size_t>(2 * buffer.size(), needed));
            continue;
        }
        if (status < 0)
            return -1;
        const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < table->Count; ++i)
            count += table->Handle[i].OwnerPid == GetCurrentProcessId() ? 1 : 0;
        return count;
    }
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

BOOL CALLBACK CountWindowsOfHost(HWND window, LPARAM count)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId())
        CountWindow(window, count);
    return TRUE;
}

// The host's windows, top-level and child: the USER objects that Wine can
// count (GetGuiResources answers 0 there).
long WindowCount()
{
    long count = 0;
    EnumWindows(CountWindowsOfHost, reinterpret_cast<LPARAM>(&count));
    return count;
}

void AnswerMeasurements(const std::filesystem::path& file, HANDLE ask, HANDLE done)
{
    while (WaitForSingleObject(ask, INFINITE) == WAIT_OBJECT_0) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, memory.cb);
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        {
            std::ofstream line(file, std::ios::trunc);
            line << "handles " << handles << " table-handles " << HandleCount() << " gdi "
                 << GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) << " user "
                 << GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) << " windows " << WindowCount()
                 << " private-bytes " << memory.PagefileUsage << '\n';
        }
        SetEvent(done);
    }
}

}  // namespace

void StartHostMeter(const std::filesystem::path& file)
{
    if (file.empty())
        return;
    // Auto-reset events, kept for the life of the process, like the thread.
    HANDLE ask = CreateEventW(nullptr, FALSE, FALSE, EventName(L"ask").c_str());
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, EventName(L"done").c_str());
    if (ask == nullptr || done == nullptr)
        return;
    std::thread(AnswerMeasurements, file, ask, done).detach();
}
