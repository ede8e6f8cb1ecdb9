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

// Entry points newer than Windows Vista that this code or its runtime might
// reach for: the library search of Windows 8 (and of Windows 7's loader
// update), the precise clock and address waits of Windows 8, and the DPI
// functions of Windows 10.
const char* const kNewerThanVista[] = {
    "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory",
    "GetSystemTimePreciseAsFileTime", "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll",
    "GetDpiForWindow", "GetDpiForSystem", "SetThreadDpiAwarenessContext", "SetProcessDpiAwarenessContext",
};

class ProgramImports : public testing::TestWithParam<const wchar_t*> {};

}  // namespace

TEST_P(ProgramImports, NeedNothingNewerThanWindowsVista)
{
    const std::set<std::string> names = ImportTable(GetParam()).Names();
    // The table was read: the program does import what every Windows has.
    ASSERT_TRUE(names.count("LoadLibraryW"));
    ASSERT_TRUE(names.count("SetDllDirectoryW"));
    for (const char* newer : kNewerThanVista)
        EXPECT_FALSE(names.count(newer)) << newer;
}

INSTANTIATE_TEST_SUITE_P(Configurations, ProgramImports,
                         testing::Values(UPDATE_PROGRAM, UPDATE_PROGRAM_FIRST_GENERATION));
