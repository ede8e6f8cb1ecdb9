#include "cli/consent.h"

#include "cli/shown_text.h"

#include <iostream>

Consent::Consent(StandardStreams& streams, const Texts& texts, bool given) : m_streams(streams), m_texts(texts)
{
    if (given)
        m_answer = true;
}

bool Consent::To(std::wstring_view productName)
{
    const std::lock_guard lock(m_mutex);
    if (!m_answer) {
        m_streams.Error(m_texts(MessageId::Question, {Utf8FromLatin1(productName)}));
        std::string answer;
        m_answer = std::getline(std::cin, answer) && IsYes(answer);
    }
    return *m_answer;
}

bool IsYes(std::string_view answer)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = answer.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return false;
    return answer.substr(first, answer.find_last_not_of(kBlanks) - first + 1) == "y";
}
