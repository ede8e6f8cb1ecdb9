#include "update/header_keystream.h"

#include <cstddef>

void HeaderKeystream::Step()
{
    const bool lowestBitSet = (m_state & 1) != 0;
    m_state = static_cast<std::uint8_t>((m_state >> 1) ^ (lowestBitSet ? kFeedbackMask : 0));
}

ProductName DescrambleHeader(const ScrambledHeader& header)
{
    HeaderKeystream keystream;
    ProductName name{};
    for (std::size_t i = 0; i < header.size(); ++i) {
        name[i] = static_cast<std::uint8_t>(header[i] ^ keystream.Current());
        keystream.Step();
    }
    return name;
}
