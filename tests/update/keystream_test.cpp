// The header keystream and the descrambling of the product name.
#include "update/header_keystream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

TEST(HeaderKeystream, StepsAsAGaloisRegisterWithMaskB8)
{
    const std::pair<std::uint8_t, std::uint8_t> steps[] = {
        {0x01, 0xB8},  // lowest bit 1: shifted, then the mask
        {0xB8, 0x5C},  // lowest bit 0: only shifted
        {0xFF, 0xC7},
        {0x5E, 0x2F},
    };
    for (const auto& [state, next] : steps) {
        HeaderKeystream keystream(state);
        keystream.Step();
        EXPECT_EQ(keystream.Current(), next) << "from " << int(state);
    }
}

// A header of zeros descrambles into the keystream itself: seed first, then
// one step per byte.
TEST(DescrambleHeader, CombinesByteIWithTheKeystreamAfterISteps)
{
    EXPECT_EQ(DescrambleHeader({}), (ProductName{0x5E, 0x2F, 0xAF, 0xEF, 0xCF, 0xDF, 0xD7, 0xD3}));

    const ScrambledHeader scrambled = {0x1F, 0x6D, 0xEC, 0xAB, 0x8A, 0x99, 0x90, 0x9B};
    const ProductName name = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    EXPECT_EQ(DescrambleHeader(scrambled), name);
    EXPECT_EQ(DescrambleHeader(name), scrambled) << "scrambling is the same operation";
}
