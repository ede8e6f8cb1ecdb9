#include "scenario.h"

#include "parse_values.h"

#include <algorithm>
#include <sstream>
#include <string_view>

namespace {

using Words = std::vector<std::string>;

// The packet faults that a scenario names by one word.
struct FaultWord {
    std::string_view word;
    bool PacketFaults::*flag;
};
constexpr FaultWord kFaultWords[] = {
    {"swap-echo", &PacketFaults::swapEcho},
    {"bad-checksum", &PacketFaults::badChecksum},
    {"no-reply", &PacketFaults::noReply},
    {"mangle-echo", &PacketFaults::mangleEcho},
    {"read-error", &PacketFaults::readError},
    {"write-error", &PacketFaults::writeError},
};

// Adds the faults of `from` to those of `into`; a status already in `into`
// stays.
void Combine(PacketFaults& into, const PacketFaults& from)
{
    if (!into.status)
        into.status = from.status;
    for (const auto& fault : kFaultWords)
        into.*fault.flag = into.*fault.flag || from.*fault.flag;
}

struct CallFaultWord {
    std::string_view word;
    CallFault::Kind kind;
    bool movesBytes;  // applies to FT_Read and FT_Write only
};
constexpr CallFaultWord kCallFaultWords[] = {
    {"fail", CallFault::Kind::Status, false},
    {"short", CallFault::Kind::ShortCount, true},
    {"over", CallFault::Kind::OverCount, true},
    {"delay", CallFault::Kind::Delay, false},
};

// "fail ENTRY STATUS [CALL]", "short ENTRY COUNT [CALL]", "over ENTRY EXTRA
// [CALL]" and "delay ENTRY MILLISECONDS [CALL]".
std::string ParseCallFault(const Words& words, AdapterScript& script)
{
    if (words.size() != 3 && words.size() != 4)
        return "expected: " + words[0] + " ENTRY VALUE [CALL]";
    const CallFaultWord& word = *std::ranges::find(kCallFaultWords, words[0], &CallFaultWord::word);
    CallFault fault;
    fault.kind = word.kind;
    fault.entry = words[1];
    if (fault.entry.rfind("FT_", 0) != 0)
        return "not an entry point: " + fault.entry;
    if (word.movesBytes && fault.entry != "FT_Read" && fault.entry != "FT_Write")
        return words[0] + " applies to FT_Read and FT_Write only";
    const std::optional<std::uint32_t> value = ParseNumber(words[2]);
    if (!value)
        return "not a number: " + words[2];
    fault.value = *value;
    if (words.size() == 4) {
        const std::optional<std::uint32_t> call = ParseNumber(words[3]);
        if (!call || *call == 0)
            return "not a call number (1 is the first call): " + words[3];
        fault.call = *call;
    }
    script.callFaults.push_back(fault);
    return {};
}

// "header" or a data block's number: 0xFFFF is the header's, never a block's.
std::optional<std::uint16_t> ParsePacket(const std::string& word)
{
    if (word == "header")
        return SimulatedProduct::kHeaderBlockNumber;
    const std::optional<std::uint32_t> number = ParseNumber(word);
    if (!number || *number >= SimulatedProduct::kHeaderBlockNumber)
        return std::nullopt;
    return static_cast<std::uint16_t>(*number);
}

std::string NotAPacket(const std::string& word)
{
    return "not a packet (header, or a block number from 0 to 65534): " + word;
}

// "at PACKET ATTEMPT FAULT"; FAULT is one of kFaultWords or "status N".
// Lines for the same packet and attempt add up, but name one status at most.
std::string ParsePacketFault(const Words& words, AdapterScript& script)
{
    const bool isStatus = words.size() >= 4 && words[3] == "status";
    if (words.size() != (isStatus ? 5u : 4u))
        return isStatus ? "expected: at PACKET ATTEMPT status N" : "expected: at PACKET ATTEMPT FAULT";
    const std::optional<std::uint16_t> packet = ParsePacket(words[1]);
    if (!packet)
        return NotAPacket(words[1]);
    unsigned attempt = 0;
    if (words[2] != "*") {
        const std::optional<std::uint32_t> number = ParseNumber(words[2]);
        if (!number || *number == 0)
            return "not an attempt (1 is the first sending, * every one): " + words[2];
        attempt = *number;
    }

    PacketFaults added;
    if (isStatus) {
        const std::optional<std::uint32_t> status = ParseNumber(words[4]);
        if (!status || *status > 0xFF)
            return "not a status (0 to 255): " + words[4];
        added.status = static_cast<std::uint8_t>(*status);
    } else {
        const auto fault = std::ranges::find(kFaultWords, words[3], &FaultWord::word);
        if (fault == std::ranges::end(kFaultWords))
            return "unknown fault: " + words[3];
        added.*fault->flag = true;
    }

    auto entry = std::ranges::find_if(script.packetFaults, [&](const PacketFault& fault) {
        return fault.packet == *packet && fault.attempt == attempt;
    });
    if (entry == script.packetFaults.end())
        entry = script.packetFaults.insert(entry, PacketFault{*packet, attempt, {}});
    if (entry->faults.status && added.status)
        return "a second status for packet " + words[1] + " attempt " + words[2];
    Combine(entry->faults, added);
    return {};
}

// "unplug PACKET".
std::string ParseUnplug(const Words& words, AdapterScript& script)
{
    if (words.size() != 2)
        return "expected: unplug PACKET";
    const std::optional<std::uint16_t> packet = ParsePacket(words[1]);
    if (!packet)
        return NotAPacket(words[1]);
    script.unplugPackets.push_back(*packet);
    return {};
}

// "product NAME".
std::string ParseProduct(const Words& words, AdapterScript& script)
{
    if (words.size() != 2)
        return "expected: product NAME";
    if (script.productName)
        return "a second product name";
    script.productName = ParseProductName(words[1]);
    if (!script.productName)
        return "not a product name (" + std::string(kProductNameForm) + "): " + words[1];
    return {};
}

// "line-timing".
std::string ParseLineTiming(const Words& words, AdapterScript& script)
{
    if (words.size() != 1)
        return "expected: line-timing";
    script.lineTiming = true;
    return {};
}

// "no-trace".
std::string ParseNoTrace(const Words& words, Scenario& scenario)
{
    if (words.size() != 1)
        return "expected: no-trace";
    scenario.trace = false;
    return {};
}

// Serial numbers become parts of file names: letters, digits, '-' and '_'.
bool IsSerialNumber(std::string_view text)
{
    const auto allowed = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_';
    };
    return !text.empty() && text.size() <= DeclaredAdapter::kMaxSerialNumberSize && std::ranges::all_of(text, allowed);
}

// A listed text spelled as "0x" and hexadecimal digits: up to `maxSize`
// bytes, none of them zero (the listing would end there).
std::optional<std::string> ParseSpelledText(const std::string& word, std::size_t maxSize)
{
    std::optional<std::string> bytes = ParseHexBytes(word);
    if (!bytes || bytes->size() > maxSize || bytes->find('\0') != std::string::npos)
        return std::nullopt;
    return bytes;
}

// "adapter SERIAL [DESCRIPTION]", the description being the rest of the
// line. Either may be spelled in hexadecimal, for texts with other bytes.
// The adapter starts with the script of the lines before the first `adapter`
// line.
std::string ParseAdapter(const std::string& line, Scenario& scenario)
{
    std::istringstream stream(line);
    std::string directive;
    std::string spelledSerialNumber;
    stream >> directive >> spelledSerialNumber;
    std::string description;
    std::getline(stream >> std::ws, description);
    description.erase(description.find_last_not_of(" \t\r") + 1);

    if (spelledSerialNumber.empty())
        return "expected: adapter SERIAL [DESCRIPTION]";
    std::string serialNumber = spelledSerialNumber;
    if (HasHexPrefix(spelledSerialNumber)) {
        const std::optional<std::string> bytes =
            ParseSpelledText(spelledSerialNumber, DeclaredAdapter::kMaxSerialNumberSize);
        if (!bytes)
            return "not a serial number (0x and up to 15 bytes in hexadecimal, none zero): " + spelledSerialNumber;
        serialNumber = *bytes;
    } else if (!IsSerialNumber(serialNumber)) {
        return "not a serial number (up to 15 letters, digits, - and _): " + spelledSerialNumber;
    }
    if (std::ranges::find(scenario.declared, serialNumber, &DeclaredAdapter::serialNumber) != scenario.declared.end())
        return "a second adapter " + spelledSerialNumber;
    if (HasHexPrefix(description)) {
        const std::optional<std::string> bytes = ParseSpelledText(description, DeclaredAdapter::kMaxDescriptionSize);
        if (!bytes)
            return "not a description (0x and up to 64 bytes in hexadecimal, none zero)";
        description = *bytes;
    } else if (description.size() > DeclaredAdapter::kMaxDescriptionSize) {
        return "a description longer than 64 characters";
    } else if (std::ranges::any_of(description, [](unsigned char c) { return c < 0x20 || c >= 0x7F; })) {
        return "a description with other than printable ASCII characters";
    }
    scenario.declared.push_back({serialNumber, spelledSerialNumber,
                                 description.empty() ? kDefaultDescription : description, scenario});
    return {};
}

struct Directive {
    std::string_view name;
    std::string (*parse)(const Words& words, AdapterScript& script);
};
constexpr Directive kAdapterDirectives[] = {
    {"fail", ParseCallFault},  {"short", ParseCallFault},      {"over", ParseCallFault},
    {"delay", ParseCallFault}, {"at", ParsePacketFault},       {"unplug", ParseUnplug},
    {"product", ParseProduct}, {"line-timing", ParseLineTiming},
};

// One line of the scenario, without its comment; the reason when it is refused.
std::string ParseLine(const std::string& line, const Words& words, Scenario& scenario)
{
    if (words[0] == "adapter")
        return ParseAdapter(line, scenario);
    if (words[0] == "no-trace")
        return ParseNoTrace(words, scenario);
    const auto directive = std::ranges::find(kAdapterDirectives, words[0], &Directive::name);
    if (directive == std::ranges::end(kAdapterDirectives))
        return "unknown directive: " + words[0];
    // A line belongs to the adapter declared last; before the first, to all.
    AdapterScript& script = scenario.declared.empty() ? scenario : scenario.declared.back().script;
    return directive->parse(words, script);
}

}  // namespace

std::string PacketFaults::Words() const
{
    std::string words;
    if (status)
        words.append(" status ").append(std::to_string(*status));
    for (const auto& fault : kFaultWords) {
        if (this->*fault.flag)
            words.append(" ").append(fault.word);
    }
    return words;
}

std::string PacketText(std::uint16_t packet)
{
    return packet == SimulatedProduct::kHeaderBlockNumber ? "header" : std::to_string(packet);
}

const CallFault* AdapterScript::FaultFor(std::string_view entry, unsigned call) const
{
    const CallFault* everyCall = nullptr;
    for (const CallFault& fault : callFaults) {
        if (fault.entry != entry)
            continue;
        if (fault.call == call)
            return &fault;
        if (fault.call == 0 && everyCall == nullptr)
            everyCall = &fault;
    }
    return everyCall;
}

PacketFaults AdapterScript::FaultsFor(std::uint16_t packet, unsigned attempt) const
{
    PacketFaults thisAttempt;
    PacketFaults everyAttempt;
    for (const PacketFault& fault : packetFaults) {
        if (fault.packet != packet)
            continue;
        if (fault.attempt == attempt)
            thisAttempt = fault.faults;
        else if (fault.attempt == 0)
            everyAttempt = fault.faults;
    }
    Combine(thisAttempt, everyAttempt);
    return thisAttempt;
}

bool AdapterScript::UnplugsAt(std::uint16_t packet) const
{
    return std::ranges::find(unplugPackets, packet) != unplugPackets.end();
}

std::vector<DeclaredAdapter> Scenario::Adapters() const
{
    if (!declared.empty())
        return declared;
    return {{kDefaultSerialNumber, kDefaultSerialNumber, kDefaultDescription, *this}};
}

Scenario ParseScenario(std::istream& text)
{
    Scenario scenario;
    std::string line;
    for (unsigned number = 1; std::getline(text, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream stream(line);
        Words words;
        for (std::string word; stream >> word;)
            words.push_back(word);
        if (words.empty())
            continue;

        const std::string error = ParseLine(line, words, scenario);
        if (!error.empty()) {
            Scenario refused;
            refused.error = "line " + std::to_string(number) + ": " + error;
            return refused;
        }
    }
    return scenario;
}
