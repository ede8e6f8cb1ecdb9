#include "simulator/scenario.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

Scenario Parse(const std::string& text)
{
    std::istringstream stream(text);
    return ParseScenario(stream);
}

}  // namespace

TEST(Scenario, AFaultForOneCallWinsOverOneForEveryCall)
{
    const Scenario scenario = Parse(
        "# the read times out on every call but the third\n"
        "short FT_Read 3\n"
        "fail FT_Read 0x12 3   # trailing comment\n"
        "\n");
    ASSERT_EQ(scenario.error, "");
    for (unsigned call : {1u, 2u, 4u}) {
        const CallFault* fault = scenario.FaultFor("FT_Read", call);
        ASSERT_NE(fault, nullptr);
        EXPECT_EQ(fault->kind, CallFault::Kind::ShortCount);
        EXPECT_EQ(fault->value, 3u);
    }
    const CallFault* third = scenario.FaultFor("FT_Read", 3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->kind, CallFault::Kind::Status);
    EXPECT_EQ(third->value, 0x12u);
    EXPECT_EQ(scenario.FaultFor("FT_Write", 1), nullptr);
}

// A scenario with a mistake is refused whole, never half applied.
TEST(Scenario, RefusesMistakesWithTheLineNumber)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"fail FT_Open 2\nfial FT_Read 4\n", "line 2: unknown directive: fial"},
        {"fail Open 2\n", "line 1: not an entry point: Open"},
        {"fail FT_Open two\n", "line 1: not a number: two"},
        {"fail FT_Open 2 0\n", "line 1: not a call number (1 is the first call): 0"},
        {"fail FT_Open\n", "line 1: expected: fail ENTRY VALUE [CALL]"},
        {"short FT_Purge 1\n", "line 1: short applies to FT_Read and FT_Write only"},
    };
    for (const auto& c : cases) {
        const Scenario scenario = Parse(c.text);
        EXPECT_EQ(scenario.error, c.error) << c.text;
        EXPECT_TRUE(scenario.faults.empty()) << c.text;
    }
}
