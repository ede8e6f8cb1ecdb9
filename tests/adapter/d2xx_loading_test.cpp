// The binding with the platform's real library loader. Each suite runs with
// its own library on the search path (see tests/CMakeLists.txt): none, one
// that lacks the last entry point, or the complete simulator.
#include "adapter/d2xx_library.h"
#include "tests/support/simulator_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>

namespace {

// Every forwarder of D2xxLibrary, called once with harmless arguments.
struct Forwarder {
    const char* name;
    std::function<FT_STATUS(D2xxLibrary&)> call;
};

char g_buffer[128];
std::uint32_t g_count;

const Forwarder kForwarders[] = {
    {"ListDevices",
     [](D2xxLibrary& l) { return l.ListDevices(nullptr, g_buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION); }},
    {"Open", [](D2xxLibrary& l) { return l.Open(0); }},
    {"OpenEx", [](D2xxLibrary& l) { return l.OpenEx(g_buffer, FT_OPEN_BY_SERIAL_NUMBER); }},
    {"SetBaudRate", [](D2xxLibrary& l) { return l.SetBaudRate(100000); }},
    {"SetDataCharacteristics", [](D2xxLibrary& l) { return l.SetDataCharacteristics(8, 0, 0); }},
    {"SetTimeouts", [](D2xxLibrary& l) { return l.SetTimeouts(1000, 1000); }},
    {"SetLatencyTimer", [](D2xxLibrary& l) { return l.SetLatencyTimer(2); }},
    {"Purge", [](D2xxLibrary& l) { return l.Purge(FT_PURGE_RX); }},
    {"Write", [](D2xxLibrary& l) { return l.Write(g_buffer, 1, &g_count); }},
    {"Read", [](D2xxLibrary& l) { return l.Read(g_buffer, 1, &g_count); }},
    {"Close", [](D2xxLibrary& l) { return l.Close(); }},
};

// The forwarders that d2xx_library.h declares: each "FT_STATUS Name(".
std::set<std::string> DeclaredForwarders()
{
    std::ifstream header(D2XX_LIBRARY_HEADER);
    const std::regex declaration(R"(^\s*FT_STATUS\s+(\w+)\()");
    std::set<std::string> names;
    for (std::string line; std::getline(header, line);) {
        std::smatch match;
        if (std::regex_search(line, match, declaration))
            names.insert(match[1]);
    }
    return names;
}

}  // namespace

TEST(D2xxLoadingWithoutLibrary, LoadFailsAndEveryForwarderAnswersInvalidHandle)
{
    D2xxLibrary library;
    EXPECT_FALSE(library.Load());
    EXPECT_EQ(library.GetModule(), nullptr);
    for (const Forwarder& forwarder : kForwarders)
        EXPECT_EQ(forwarder.call(library), FT_INVALID_HANDLE) << forwarder.name;
}

// The table above misses no forwarder that a change adds.
TEST(D2xxLoadingWithoutLibrary, EveryForwarderIsTried)
{
    std::set<std::string> tried;
    for (const Forwarder& forwarder : kForwarders)
        tried.insert(forwarder.name);
    const std::set<std::string> declared = DeclaredForwarders();
    ASSERT_FALSE(declared.empty());
    EXPECT_EQ(tried, declared);
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
