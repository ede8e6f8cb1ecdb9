// The binding with the platform's real library loader. Each suite runs with
// its own library on the search path (see tests/CMakeLists.txt): none, one
// that lacks the last entry point, or the complete simulator.
#include "adapter/d2xx_library.h"
#include "tests/support/simulator_session.h"

#include <gtest/gtest.h>

TEST(D2xxLoadingWithoutLibrary, LoadFailsAndEveryForwarderAnswers1)
{
    D2xxLibrary library;
    EXPECT_FALSE(library.Load());
    EXPECT_EQ(library.GetModule(), nullptr);

    char buffer[128] = {};
    std::uint32_t count = 0;
    EXPECT_EQ(library.ListDevices(nullptr, buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION), FT_INVALID_HANDLE);
    EXPECT_EQ(library.Open(0), FT_INVALID_HANDLE);
    EXPECT_EQ(library.SetBaudRate(100000), FT_INVALID_HANDLE);
    EXPECT_EQ(library.SetDataCharacteristics(8, 0, 0), FT_INVALID_HANDLE);
    EXPECT_EQ(library.SetTimeouts(1000, 1000), FT_INVALID_HANDLE);
    EXPECT_EQ(library.Purge(FT_PURGE_RX), FT_INVALID_HANDLE);
    EXPECT_EQ(library.Write(buffer, 1, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(library.Read(buffer, 1, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(library.Close(), FT_INVALID_HANDLE);
}

// All nine functions the adapter uses are there, and still the library does
// not count as installed; it stays loaded.
TEST(D2xxLoadingLackingEntry, LoadFailsWithTheLibraryStillLoaded)
{
    SimulatorSession session;
    D2xxLibrary library;
    EXPECT_FALSE(library.Load());
    EXPECT_NE(library.GetModule(), nullptr);

    char buffer[128] = {};
    EXPECT_EQ(library.ListDevices(nullptr, buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION), FT_OK);
    EXPECT_EQ(session.Calls(), std::vector<std::string>{"FT_ListDevices 0 0x40000002 -> 0"});
}

TEST(D2xxLoading, LoadFindsAll35EntryPoints)
{
    SimulatorSession session;
    D2xxLibrary library;
    EXPECT_TRUE(library.Load());
    EXPECT_NE(library.GetModule(), nullptr);
}
