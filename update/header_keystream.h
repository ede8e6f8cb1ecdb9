// The update file's header is the product name, each byte combined by
// exclusive-or with one byte of this keystream: a one-byte Galois linear
// feedback shift register with a key built into the program.
#pragma once

#include "update/product_name.h"

#include <cstdint>

class HeaderKeystream {
public:
    // Update files are scrambled with the same key.
    static constexpr std::uint8_t kSeed = 0x5E;
    static constexpr std::uint8_t kFeedbackMask = 0xB8;

    explicit HeaderKeystream(std::uint8_t state = kSeed) : m_state(state) {}

    std::uint8_t Current() const { return m_state; }
    void Step();

private:
    std::uint8_t m_state;
};

using ScrambledHeader = std::array<std::uint8_t, kProductNameSize>;

// Header byte i is combined with the keystream after i steps. Exclusive-or
// undoes itself, so the same call scrambles a name into a header.
ProductName DescrambleHeader(const ScrambledHeader& header);
