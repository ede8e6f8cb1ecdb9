#include "app/icon_position.h"

#include <gtest/gtest.h>

// A minimized window centres its 32 x 32 icon, rounding half a pixel up
// and truncating toward zero.
TEST(IconPosition, CentresTheIconInTheClientArea)
{
    const struct {
        int clientSize;
        int expected;
    } cases[] = {{36, 2}, {37, 3}, {32, 0}, {16, -7}, {15, -8}};
    for (const auto& c : cases) {
        const IconPosition position = CenteredIconPosition(c.clientSize, c.clientSize, 32, 32);
        EXPECT_EQ(position.x, c.expected) << c.clientSize;
        EXPECT_EQ(position.y, c.expected) << c.clientSize;
    }
}
