// The scenario file: which adapters are connected, and for each of them
// which calls fail and how, which product is attached, what happens to its
// packets, and whether the line takes time.
#pragma once

#include "product.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CallFault {
    enum class Kind {
        Status,      // the call does nothing and returns `value` as its status
        ShortCount,  // the call succeeds but moves only `value` bytes
        OverCount,   // the call succeeds and reports `value` bytes more than it moved
        Delay,       // the call takes `value` milliseconds before it does its work
    };
    std::string entry;  // "FT_Read"
    unsigned call = 0;  // 1 for the first call of `entry`; 0 for every call
    Kind kind = Kind::Status;
    std::uint32_t value = 0;
};

// What happens to one sending of a packet.
struct PacketFaults {
    std::optional<std::uint8_t> status;  // the reply's status, in place of the product's verdict
    bool swapEcho = false;               // the reply's echo bytes change places
    bool badChecksum = false;            // the reply's checksum is one too high
    bool noReply = false;                // the product does not answer
    bool mangleEcho = false;             // one byte of the packet's echo is inverted
    bool readError = false;              // the next FT_Read fails
    bool writeError = false;             // the write fails and nothing reaches the product

    // The faults in the scenario's words, each preceded by a blank; empty
    // when there are none.
    std::string Words() const;
};

// "header" for the header packet, else the block number in decimal.
std::string PacketText(std::uint16_t packet);

struct PacketFault {
    std::uint16_t packet = 0;  // a block number, or the header's
    unsigned attempt = 0;      // 1 for the first sending of `packet`; 0 for every sending
    PacketFaults faults;
};

// What happens on one adapter and to its product.
struct AdapterScript {
    std::vector<CallFault> callFaults;
    std::vector<PacketFault> packetFaults;  // one for each packet and attempt named
    std::vector<std::uint16_t> unplugPackets;
    std::optional<SimulatedProduct::Name> productName;  // none: the product takes any name
    bool lineTiming = false;

    // The fault scripted for call number `call` (from 1) of `entry`, if any.
    // A fault for that exact call wins over one for every call.
    const CallFault* FaultFor(std::string_view entry, unsigned call) const;
    // The faults for sending number `attempt` (from 1) of `packet`: those for
    // every sending together with those for this one, whose status wins.
    PacketFaults FaultsFor(std::uint16_t packet, unsigned attempt) const;
    bool UnplugsAt(std::uint16_t packet) const;
};

// An adapter as the driver lists it, with its own script.
struct DeclaredAdapter {
    static constexpr std::size_t kMaxSerialNumberSize = 15;
    static constexpr std::size_t kMaxDescriptionSize = 64;  // FT_ListDevices' buffer, no terminating zero

    std::string serialNumber;
    std::string spelledSerialNumber;  // as the scenario spells it: names its trace and image file
    std::string description;
    AdapterScript script;
};

// The adapter of a scenario that declares none.
inline constexpr char kDefaultSerialNumber[] = "KS000001";
inline constexpr char kDefaultDescription[] = "Kestro-3 USB serial adapter (simulated)";

// The lines before the first `adapter` line are the script of every
// adapter, and of the calls that concern none (listing the number of
// adapters, opening one that is not there, a handle that is no adapter's).
struct Scenario : AdapterScript {
    std::vector<DeclaredAdapter> declared;  // in the order of their `adapter` lines
    bool trace = true;  // false: no trace, for measurements
    std::string error;  // why the file was refused; empty when it was read

    // The declared adapters, or the one default adapter with this script.
    std::vector<DeclaredAdapter> Adapters() const;
};

Scenario ParseScenario(std::istream& text);
