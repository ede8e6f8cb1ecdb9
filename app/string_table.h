// The window's texts. The messages of the string table are looked up at the
// moment they are shown, in the language block that the platform picks; the
// few texts that are the same in every language come from the catalogue.
#pragma once

#include "messages/message_id.h"
#include "string_table_ids.h"

#include <string>

// The number of `message` in the string table; 0, which no string has, for a
// message that the table does not hold.
constexpr unsigned StringTableNumber(MessageId message)
{
    for (const StringTableEntry& entry : kStringTable) {
        if (entry.message == message)
            return entry.number;
    }
    return 0;
}

// The text of `message` in the user's language; empty when the table lacks it.
std::wstring LoadMessage(MessageId message);

// A text that is the same in every language, such as the caption "Update".
std::wstring FixedText(MessageId message);
