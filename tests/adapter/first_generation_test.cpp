// The first-generation configuration differs from the current one in the
// line rate alone.
#include "adapter/Kestro2.h"
#include "tests/support/simulator_session.h"

#include <gtest/gtest.h>

TEST(Kestro2FirstGeneration, OpensTheLineAt9600)
{
    SimulatorSession session;
    Kestro2 adapter;
    adapter.Initialize();
    adapter.Open();
    const std::vector<std::string> expected = {
        "FT_ListDevices 0 0x40000002 -> 0",
        "FT_Open 0 -> 0",
        "FT_SetBaudRate device0 9600 -> 0",
        "FT_SetTimeouts device0 1000 1000 -> 0",
        "FT_SetDataCharacteristics device0 8 0 0 -> 0",
    };
    EXPECT_EQ(session.Calls(), expected);
}
