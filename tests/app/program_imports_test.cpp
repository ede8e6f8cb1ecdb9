// What each configuration of Update.exe imports, read from its import table:
// an entry point that the loader cannot find stops the program before it
// starts, so nothing that Windows Vista lacks may be imported.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// The imported names of a program of this build's architecture, read from
// its file.
class ImportTable {
public:
    explicit ImportTable(const std::filesystem::path& program)
    {
        std::ifstream file(program, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return names;
        const auto* nt = At<IMAGE_NT_HEADERS>(At<IMAGE_DOS_HEADER>(0)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* library = At<IMAGE_IMPORT_DESCRIPTOR>(Offset(nt, imports.VirtualAddress)); library->Name != 0;
             ++library) {
            const DWORD thunks = library->OriginalFirstThunk != 0 ? library->OriginalFirstThunk : library->FirstThunk;
            for (auto* thunk = At<IMAGE_THUNK_DATA>(Offset(nt, thunks)); thunk->u1.AddressOfData != 0; ++thunk) {
                if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal))
                    continue;
                const auto rva = static_cast<DWORD>(thunk->u1.AddressOfData);
                names.insert(At<IMAGE_IMPORT_BY_NAME>(Offset(nt, rva))->Name);
            }
        }
        return names;
    }

private:
    template <typename Structure>
    const Structure* At(std::size_t offset) const
    {
        return reinterpret_cast<const Structure*>(m_bytes.data() + offset);
    }

    // The file offset of a relative virtual address, through the section
    // that holds it.
    static std::size_t Offset(const IMAGE_NT_HEADERS* nt, DWORD rva)
    {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            const DWORD size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size)
                return rva - section->VirtualAddress + section->PointerToRawData;
        }
        return 0;
    }

    std::vector<char> m_bytes;
};

// Every entry point that the programs may import, by the libraries that
// hold them: each is in Windows Vista. The library search of Windows 8 (and
// of Windows 7's loader update) is looked up at run time, never imported. A
// name that a change brings in is added here once it is known to be in
// Vista; until then this test fails.
const std::set<std::string> kAllowed = {
    // comctl32.dll
    "InitCommonControlsEx",
    // kernel32.dll
    "AddVectoredExceptionHandler", "CloseHandle", "CreateEventA", "CreateFileW", "CreateSemaphoreA",
    "DeleteCriticalSection", "DuplicateHandle", "EnterCriticalSection", "FindClose", "FindFirstFileW",
    "FormatMessageA", "FreeLibrary", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread",
    "GetCurrentThreadId", "GetFileSizeEx", "GetFileType", "GetHandleInformation", "GetLastError", "GetModuleHandleA",
    "GetModuleHandleW", "GetProcAddress", "GetProcessAffinityMask", "GetStartupInfoW", "GetSystemTimeAsFileTime",
    "GetThreadContext", "GetThreadPriority", "GetTickCount64", "InitializeCriticalSection", "IsDBCSLeadByteEx",
    "IsDebuggerPresent", "LeaveCriticalSection", "LoadLibraryA", "LoadLibraryW", "LocalFree", "MultiByteToWideChar",
    "OpenProcess", "OutputDebugStringA", "RaiseException", "ReadFile", "ReleaseSemaphore",
    "RemoveVectoredExceptionHandler", "ResetEvent", "ResumeThread", "RtlCaptureContext", "RtlLookupFunctionEntry",
    "RtlUnwindEx", "RtlVirtualUnwind", "SetDllDirectoryW", "SetEvent", "SetLastError", "SetProcessAffinityMask",
    "SetThreadContext", "SetThreadExecutionState", "SetThreadPriority", "SetUnhandledExceptionFilter", "Sleep",
    "SuspendThread", "TlsAlloc", "TlsGetValue", "TlsSetValue", "TryEnterCriticalSection", "VirtualProtect",
    "VirtualQuery", "WaitForMultipleObjects", "WaitForSingleObject", "WideCharToMultiByte", "__C_specific_handler",
    // user32.dll
    "AppendMenuW", "BeginPaint", "DialogBoxParamW", "DrawIcon", "EnableWindow", "EndDialog", "EndPaint",
    "GetClientRect", "GetDlgItem", "GetMonitorInfoW", "GetSystemMenu", "GetSystemMetrics", "GetWindow",
    "GetWindowLongPtrW", "GetWindowLongW", "GetWindowRect", "GetWindowTextLengthW", "GetWindowTextW", "IsIconic",
    "IsWindowVisible", "LoadCursorW", "LoadIconW", "LoadStringW", "MessageBoxW", "MonitorFromWindow", "PeekMessageW",
    "SendMessageW", "SetCursor", "SetWindowLongPtrW", "SetWindowLongW", "SetWindowPos", "SetWindowTextW",
    "ShutdownBlockReasonCreate", "ShutdownBlockReasonDestroy", "UpdateWindow",
    // msvcrt.dll
    "___lc_codepage_func", "___mb_cur_max_func", "__iob_func", "__mb_cur_max", "__p__commode", "__p__fmode",
    "__p__wcmdln", "__set_app_type", "__setusermatherr", "__wgetmainargs", "__winitenv", "_amsg_exit",
    "_beginthreadex", "_cexit", "_close", "_commode", "_endthreadex", "_errno", "_fmode", "_initterm", "_iob",
    "_onexit", "_read", "_setjmp", "_setjmp3", "_strdup", "_ultoa", "_wcmdln", "abort", "atoi", "calloc", "exit",
    "fprintf", "fputc", "fputs", "free", "fwrite", "iswctype", "localeconv", "longjmp", "malloc", "memchr", "memcmp",
    "memcpy", "memmove", "memset", "printf", "realloc", "setlocale", "signal", "strchr", "strcmp", "strcoll",
    "strerror", "strftime", "strlen", "strncmp", "strxfrm", "towlower", "towupper", "vfprintf", "wcscoll", "wcsftime",
    "wcslen", "wcsxfrm",
};

class ProgramImports : public testing::TestWithParam<const wchar_t*> {};

}  // namespace

TEST_P(ProgramImports, AreAllInWindowsVista)
{
    const std::set<std::string> names = ImportTable(GetParam()).Names();
    // The table was read: the program does import what every Windows has.
    ASSERT_TRUE(names.count("LoadLibraryW"));
    ASSERT_TRUE(names.count("SetDllDirectoryW"));
    for (const std::string& name : names)
        EXPECT_TRUE(kAllowed.count(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(Configurations, ProgramImports,
                         testing::Values(UPDATE_PROGRAM, UPDATE_PROGRAM_FIRST_GENERATION));
