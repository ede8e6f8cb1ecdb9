// The three commands of update-cli. Each writes what it has to say, in the
// words of `texts`, and returns the program's exit code.
#pragma once

#include "cli/command_line.h"
#include "cli/outcome.h"
#include "cli/standard_streams.h"
#include "cli/texts.h"

#include <filesystem>

// One line per connected adapter, "INDEX SERIAL DESCRIPTION", then one per
// serial port of an FTDI adapter, "PORT SERIAL DESCRIPTION".
ExitCode ListAdapters(StandardStreams& streams, const Texts& texts);

// The product, the payload's size, the block count and the time on the line
// at each rate; for a refused file, why.
ExitCode DescribeUpdateFile(const std::filesystem::path& file, StandardStreams& streams, const Texts& texts);

// Writes the update file into the product behind one adapter, or behind
// every listed adapter at once.
ExitCode WriteUpdate(const Options& options, StandardStreams& streams, const Texts& texts);
