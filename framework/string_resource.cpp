#include "framework/string_resource.h"

std::wstring LoadStringResource(UINT id)
{
    // With a length of 0, LoadStringW hands out a pointer to the text in the
    // resource itself, which is not terminated.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}
