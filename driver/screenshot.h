// A picture of a window as the screen shows it, saved as a BMP file.
#pragma once

#include <windows.h>

#include <filesystem>

bool SaveScreenshot(HWND window, const std::filesystem::path& file);
