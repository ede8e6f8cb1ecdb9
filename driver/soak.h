// The soak: one Update.exe, WRITE pressed again and again through every
// ending, the process measured from within after each press.
#pragma once

#include <filesystem>

// Presses WRITE `presses` times in one Update.exe, rotating through success,
// each failure ending, Cancel at the question and each refusal of the
// update file (`updateFile` is the one that the product takes). After every
// press it reads the process's handles, GDI and USER objects and private
// bytes (measured by the simulator inside the process), whether WRITE is
// enabled and whether the update file opens for exclusive use. Prints the
// summary, writes every press to FOLDER/soak.csv, and returns 0 when the
// process stayed level after five presses to warm up: handles within 2, GDI
// and USER objects unchanged, private bytes within 64 KiB.
int Soak(const std::filesystem::path& folder, const std::filesystem::path& updateFile, int presses);
