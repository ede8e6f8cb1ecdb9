// The two configurations of the programs, named by the adapter generation
// that they serve, and the serial line rate of each in bit/s. Update.exe is
// built in one of them; update-cli chooses one by its rate.
#pragma once

#include <cstdint>
#include <optional>

enum class Configuration {
    Current,          // the Kestro-2 and Kestro-3
    FirstGeneration,  // the Kestro-2 alone
};

inline constexpr std::uint32_t kCurrentLineRate = 100000;
inline constexpr std::uint32_t kFirstGenerationLineRate = 9600;

constexpr std::uint32_t LineRateOf(Configuration configuration)
{
    return configuration == Configuration::FirstGeneration ? kFirstGenerationLineRate : kCurrentLineRate;
}

// The configuration whose line runs at `lineRate`; none for another rate.
constexpr std::optional<Configuration> ConfigurationAtLineRate(std::uint32_t lineRate)
{
    for (const Configuration configuration : {Configuration::Current, Configuration::FirstGeneration}) {
        if (LineRateOf(configuration) == lineRate)
            return configuration;
    }
    return std::nullopt;
}
