// Bytes of a text from outside the program (the product name in the update
// file, an adapter's serial number as the driver lists it) that would not
// show as a character but move the cursor, end the line or restyle a
// terminal. They show as blanks, so that the text always shows whole and on
// one line.
#pragma once

#include <cstdint>

constexpr bool IsControlByte(std::uint8_t byte)
{
    return byte < 0x20 || byte == 0x7F;
}
