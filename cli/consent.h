// The user's consent to writing the product named in the update file: given
// with --yes, otherwise asked once at the terminal, "Update product NAME?
// [y/N]" in the user's language, and only "y" consents. Several adapters'
// transfers share one answer.
#pragma once

#include "cli/standard_streams.h"
#include "cli/texts.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class Consent {
public:
    // Asks at the terminal unless `given`.
    Consent(StandardStreams& streams, const Texts& texts, bool given);

    // The answer, asked for the first time here; `productName` as the window
    // program shows it.
    bool To(std::wstring_view productName);

private:
    StandardStreams& m_streams;
    const Texts& m_texts;
    std::mutex m_mutex;
    std::optional<bool> m_answer;
};

// Only "y" consents; blanks around it and the line's end do not count.
bool IsYes(std::string_view answer);
