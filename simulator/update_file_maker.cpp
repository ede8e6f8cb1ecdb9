#include "update_file_maker.h"

#include "parse_values.h"
#include "update/header_keystream.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <system_error>
#include <variant>

namespace {

constexpr char kUsage[] = "usage: make-update-file OUTPUT NAME (--size BYTES | --payload FILE) [--seed N]";
constexpr std::uint32_t kDefaultSeed = 1;
constexpr std::size_t kBlockSize = 256;
// One block more than an update file can hold, so that a file which the
// program must refuse can be made too.
constexpr std::size_t kLargestBlockCount = 0x10000;
constexpr std::size_t kLargestPayload = kLargestBlockCount * kBlockSize;

struct Request {
    std::filesystem::path output;
    std::string nameText;
    ProductName name{};
    std::optional<std::uint32_t> size;
    std::optional<std::filesystem::path> payloadFile;
    std::optional<std::uint32_t> seed;
};

// The request, or what is wrong with the arguments.
std::variant<Request, std::string> ParseArguments(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2)
        return "OUTPUT and NAME are needed";
    Request request;
    request.output = arguments[0];
    request.nameText = arguments[1];
    const std::optional<ProductName> name = ParseProductName(arguments[1]);
    if (!name)
        return "not a product name (" + std::string(kProductNameForm) + "): " + arguments[1];
    request.name = *name;

    std::set<std::string> given;
    for (std::size_t i = 2; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        if (option != "--size" && option != "--payload" && option != "--seed")
            return "unknown option: " + option;
        if (i + 1 == arguments.size())
            return option + " needs a value";
        if (!given.insert(option).second)
            return option + " given twice";
        const std::string& value = arguments[i + 1];
        if (option == "--payload") {
            request.payloadFile = value;
        } else if (option == "--seed") {
            request.seed = ParseNumber(value);
            if (!request.seed)
                return "not a seed (0 to 4294967295): " + value;
        } else {
            request.size = ParseNumber(value);
            if (!request.size)
                return "not a number of bytes: " + value;
            if (*request.size > kLargestPayload)
                return "--size " + value + " is more than " + std::to_string(kLargestPayload) + " bytes";
        }
    }
    if (request.size.has_value() == request.payloadFile.has_value())
        return "give either --size or --payload";
    if (request.seed && request.payloadFile)
        return "--seed goes with --size only";
    return request;
}

std::vector<std::uint8_t> PatternPayload(std::uint32_t size, std::uint32_t seed)
{
    std::vector<std::uint8_t> payload(size);
    std::uint32_t state = seed;
    for (std::uint8_t& byte : payload) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return payload;
}

// Fills `payload` from the file; returns what went wrong, if anything.
std::string ReadPayloadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& payload)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return "cannot read " + path.string();
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kLargestPayload)
        return path.string() + " is more than " + std::to_string(kLargestPayload) + " bytes";
    std::ifstream file(path, std::ios::binary);
    payload.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (error || !file.is_open() || file.bad() || payload.size() != size)
        return "cannot read " + path.string();
    return {};
}

// Writes a file beside `output` and renames it to `output`, so that a
// failure never leaves `output` half written.
std::string WriteWhole(const std::filesystem::path& output, const ScrambledHeader& header,
                       const std::vector<std::uint8_t>& payload)
{
    std::filesystem::path partial = output;
    partial += ".partial";
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    file.write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));
    file.close();
    std::error_code error;
    if (file.fail()) {
        std::filesystem::remove(partial, error);
        return "cannot write " + output.string();
    }
    std::filesystem::rename(partial, output, error);
    if (error) {
        const std::string reason = error.message();
        std::filesystem::remove(partial, error);
        return "cannot write " + output.string() + ": " + reason;
    }
    return {};
}

}  // namespace

int MakeUpdateFile(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors)
{
    const std::variant<Request, std::string> parsed = ParseArguments(arguments);
    if (const std::string* mistake = std::get_if<std::string>(&parsed)) {
        errors << "make-update-file: " << *mistake << "\n" << kUsage << "\n";
        return kBadArguments;
    }
    const Request& request = std::get<Request>(parsed);

    std::vector<std::uint8_t> payload;
    std::string failure;
    if (request.payloadFile)
        failure = ReadPayloadFile(*request.payloadFile, payload);
    else
        payload = PatternPayload(*request.size, request.seed.value_or(kDefaultSeed));
    // Scrambling is the same exclusive-or as descrambling.
    if (failure.empty())
        failure = WriteWhole(request.output, DescrambleHeader(request.name), payload);
    if (!failure.empty()) {
        errors << "make-update-file: " << failure << "\n";
        return kCannotWriteUpdateFile;
    }
    const std::size_t blockCount = (payload.size() + kBlockSize - 1) / kBlockSize;
    out << "made " << request.output.string() << ": product " << request.nameText << ", " << payload.size()
        << " bytes of payload in " << blockCount << (blockCount == 1 ? " block\n" : " blocks\n");
    if (blockCount >= kLargestBlockCount)
        errors << "make-update-file: note: " << blockCount << " blocks are more than an update file can hold\n";
    return kMadeUpdateFile;
}
