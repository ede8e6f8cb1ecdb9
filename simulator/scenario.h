// The scenario file: which calls of the simulated driver fail, and how.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

struct CallFault {
    enum class Kind {
        Status,      // the call does nothing and returns `value` as its status
        ShortCount,  // the call succeeds but moves only `value` bytes
    };
    std::string entry;  // "FT_Read"
    unsigned call = 0;  // 1 for the first call of `entry`; 0 for every call
    Kind kind = Kind::Status;
    std::uint32_t value = 0;
};

struct Scenario {
    std::vector<CallFault> faults;
    std::string error;  // why the file was refused; empty when it was read

    // The fault scripted for call number `call` (from 1) of `entry`, if any.
    // A fault for that exact call wins over one for every call.
    const CallFault* FaultFor(std::string_view entry, unsigned call) const;
};

Scenario ParseScenario(std::istream& text);
