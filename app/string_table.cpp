#include "app/string_table.h"

#include "framework/string_resource.h"
#include "messages/catalogue.h"

#include <windows.h>

std::wstring LoadMessage(MessageId message)
{
    return LoadStringResource(StringTableNumber(message));
}

std::wstring FixedText(MessageId message)
{
    // The reference language's text; the configuration changes none of these.
    const std::string_view utf8 = MessageText(message, Language::English, Configuration::Current);
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}
