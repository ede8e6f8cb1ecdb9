#include "scenario.h"

#include <charconv>
#include <sstream>

namespace {

bool ParseNumber(const std::string& word, std::uint32_t& value)
{
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* first = word.data() + (hex ? 2 : 0);
    const char* last = word.data() + word.size();
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    return error == std::errc() && end == last && first != last;
}

// "fail ENTRY STATUS [CALL]" and "short ENTRY COUNT [CALL]".
std::string ParseFault(const std::vector<std::string>& words, CallFault& fault)
{
    if (words.size() != 3 && words.size() != 4)
        return "expected: " + words[0] + " ENTRY VALUE [CALL]";
    fault.kind = words[0] == "fail" ? CallFault::Kind::Status : CallFault::Kind::ShortCount;
    fault.entry = words[1];
    if (fault.entry.rfind("FT_", 0) != 0)
        return "not an entry point: " + fault.entry;
    if (fault.kind == CallFault::Kind::ShortCount && fault.entry != "FT_Read" && fault.entry != "FT_Write")
        return "short applies to FT_Read and FT_Write only";
    if (!ParseNumber(words[2], fault.value))
        return "not a number: " + words[2];
    std::uint32_t call = 0;
    if (words.size() == 4 && (!ParseNumber(words[3], call) || call == 0))
        return "not a call number (1 is the first call): " + words[3];
    fault.call = call;
    return {};
}

}  // namespace

const CallFault* Scenario::FaultFor(std::string_view entry, unsigned call) const
{
    const CallFault* everyCall = nullptr;
    for (const CallFault& fault : faults) {
        if (fault.entry != entry)
            continue;
        if (fault.call == call)
            return &fault;
        if (fault.call == 0 && everyCall == nullptr)
            everyCall = &fault;
    }
    return everyCall;
}

Scenario ParseScenario(std::istream& text)
{
    Scenario scenario;
    std::string line;
    for (unsigned number = 1; std::getline(text, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> split;
        for (std::string word; words >> word;)
            split.push_back(word);
        if (split.empty())
            continue;

        std::string error;
        if (split[0] == "fail" || split[0] == "short") {
            CallFault fault;
            error = ParseFault(split, fault);
            if (error.empty())
                scenario.faults.push_back(fault);
        } else {
            error = "unknown directive: " + split[0];
        }
        if (!error.empty()) {
            scenario.faults.clear();
            scenario.error = "line " + std::to_string(number) + ": " + error;
            return scenario;
        }
    }
    return scenario;
}
