#pragma once

#include <windows.h>

#include <string>

// The text of string `id` in the language block that the platform picks for
// the user interface; empty when the table has no such string.
std::wstring LoadStringResource(UINT id);
