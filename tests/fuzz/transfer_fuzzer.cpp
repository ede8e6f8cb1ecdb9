// The whole transfer, from the start of the adapter to the closing box, with
// a driver library whose every status, byte count and reply byte comes from
// the fuzz input, and an update file whose name and payload come from it too.
// The driver stands in for the platform's library loader, so the real
// binding, adapter device and transfer run unchanged. Whatever the input, the
// transfer must keep its promises, checked by the view and against packets
// computed here from the file.
#include "adapter/configuration.h"
#include "adapter/d2xx_module.h"
#include "adapter/kestro2.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_working_folder.h"
#include "update/header_keystream.h"
#include "update/image_transfer.h"
#include "update/update_image.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPacketSize = 269;
constexpr std::size_t kReplySize = 4;
constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kMaxBlocks = 40;
constexpr std::uint16_t kHeaderNumber = 0xFFFF;
constexpr int kMaxSendingsOfABlock = 100;

std::uint8_t Sum(const std::uint8_t* bytes, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(sum);
}

// One sending as the driver saw it: the calls in order and what they did.
struct Sending {
    std::vector<std::string> calls;
    std::vector<std::uint8_t> packet;  // as written
    std::array<std::uint8_t, kReplySize> reply{};
    bool driverFailed = false;  // a status, or a count other than asked
    bool complete = false;      // all four calls made
};

// The stand-in driver: answers from the fuzz input, records what it is told.
struct FuzzedDriver {
    FuzzedDataProvider* input = nullptr;
    bool started = false;  // the start-up calls are over
    std::vector<Sending> sendings;
    std::vector<std::string> startUpCalls;
    int device = 0;

    // Mostly success, so that the transfer gets far; else any failure.
    FT_STATUS Status()
    {
        const std::uint8_t pick = input->ConsumeIntegral<std::uint8_t>();
        static constexpr FT_STATUS kFailures[] = {1, 2, 3, 4, 18, 0xFFFFFFFF};
        return pick < 240 ? FT_OK : kFailures[pick % std::size(kFailures)];
    }

    // Mostly the count asked; else none, one, one short, one more, or any.
    std::uint32_t Count(std::uint32_t asked)
    {
        const std::uint8_t pick = input->ConsumeIntegral<std::uint8_t>();
        if (pick < 230)
            return asked;
        switch (pick % 5) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return asked - 1;
        case 3:
            return asked + 1;
        default:
            return input->ConsumeIntegral<std::uint32_t>();
        }
    }

    void StartUpCall(const std::string& name)
    {
        CHECK(!started);
        startUpCalls.push_back(name);
    }

    // A call of a sending: the first call of one begins it.
    Sending& SendingCall(const std::string& name)
    {
        started = true;
        if (name == "FT_Purge")
            sendings.emplace_back();
        CHECK(!sendings.empty());
        sendings.back().calls.push_back(name);
        return sendings.back();
    }

    // The reply to the packet written last: mostly the good one, else one of
    // the refusals, or any 4 bytes.
    std::array<std::uint8_t, kReplySize> Reply(const std::vector<std::uint8_t>& packet)
    {
        std::array<std::uint8_t, kReplySize> reply{};
        if (packet.size() == kPacketSize) {
            reply[0] = packet[8];
            reply[1] = packet[9];
        }
        const std::uint8_t pick = input->ConsumeIntegral<std::uint8_t>();
        if (pick < 160) {
            reply[2] = 0;
        } else if (pick < 200) {
            reply[2] = input->ConsumeIntegral<std::uint8_t>();
        } else if (pick < 220) {
            std::swap(reply[0], reply[1]);
        } else {
            input->ConsumeData(reply.data(), reply.size());
            return reply;
        }
        reply[3] = static_cast<std::uint8_t>(Sum(reply.data(), 3) + (pick >= 210 && pick < 220 ? 1 : 0));
        return reply;
    }
};

FuzzedDriver driver;

FT_STATUS D2XX_API FuzzedListDevices(void*, void* description, std::uint32_t)
{
    driver.StartUpCall("FT_ListDevices");
    const FT_STATUS status = driver.Status();
    if (status == FT_OK)
        std::memset(description, ' ', 64);  // as much as a real driver may fill
    return status;
}

FT_STATUS D2XX_API FuzzedOpen(int, FT_HANDLE* handle)
{
    driver.StartUpCall("FT_Open");
    const FT_STATUS status = driver.Status();
    if (status == FT_OK)
        *handle = &driver.device;
    return status;
}

FT_STATUS D2XX_API FuzzedSetBaudRate(FT_HANDLE, std::uint32_t)
{
    driver.StartUpCall("FT_SetBaudRate");
    return driver.Status();
}

FT_STATUS D2XX_API FuzzedSetTimeouts(FT_HANDLE, std::uint32_t, std::uint32_t)
{
    driver.StartUpCall("FT_SetTimeouts");
    return driver.Status();
}

FT_STATUS D2XX_API FuzzedSetDataCharacteristics(FT_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t)
{
    driver.StartUpCall("FT_SetDataCharacteristics");
    return driver.Status();
}

FT_STATUS D2XX_API FuzzedPurge(FT_HANDLE handle, std::uint32_t mask)
{
    Sending& sending = driver.SendingCall("FT_Purge");
    CHECK(handle == &driver.device && mask == FT_PURGE_RX);
    const FT_STATUS status = driver.Status();
    sending.driverFailed = status != FT_OK;
    return status;
}

FT_STATUS D2XX_API FuzzedWrite(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* written)
{
    Sending& sending = driver.SendingCall("FT_Write");
    CHECK(handle == &driver.device && count == kPacketSize);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    sending.packet.assign(bytes, bytes + count);
    const FT_STATUS status = driver.Status();
    // A write's count is not examined; only its status.
    *written = driver.Count(count);
    sending.driverFailed = status != FT_OK;
    return status;
}

FT_STATUS D2XX_API FuzzedRead(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* received)
{
    Sending& sending = driver.SendingCall("FT_Read");
    CHECK(handle == &driver.device);
    const bool isReply = sending.calls.size() == 4;
    CHECK(count == (isReply ? kReplySize : kPacketSize));
    const FT_STATUS status = driver.Status();
    if (status != FT_OK) {
        sending.driverFailed = true;
        return status;
    }
    const std::uint32_t reported = driver.Count(count);
    const std::size_t delivered = std::min<std::size_t>(reported, count);
    if (isReply) {
        sending.reply = driver.Reply(sending.packet);
        std::memcpy(buffer, sending.reply.data(), delivered);
        sending.complete = reported == count;
    } else {
        std::memset(buffer, 0xEE, delivered);
    }
    *received = reported;
    sending.driverFailed = reported != count;
    return FT_OK;
}

FT_STATUS D2XX_API FuzzedClose(FT_HANDLE)
{
    CHECK(!"the program never closes the device");
    return FT_OK;
}

void NeverCalled()
{
    CHECK(!"an entry point that the program never calls was called");
}

template <typename Function>
D2xxProc AsProc(Function function)
{
    return reinterpret_cast<D2xxProc>(function);
}

// What the transfer shows, with its promises checked as it goes.
class CheckingView final : public TransferView {
public:
    BoxAnswer answer = BoxAnswer::Ok;
    int closingBoxes = 0;
    int questions = 0;
    int busyBegun = 0;
    int busyEnded = 0;
    bool writeEnabled = true;
    bool failedState = false;
    int progressSteps = 0;

    BoxAnswer ShowBox(Box box, MessageId, std::wstring_view) override
    {
        if (box == Box::Question) {
            ++questions;
            return answer;
        }
        CHECK(closingBoxes == 0);
        ++closingBoxes;
        CHECK(box == Box::FileProblem || !writeEnabled);  // WRITE comes back after the box
        return BoxAnswer::Ok;
    }
    void SetStatus(MessageId) override {}
    void SetFailedState() override
    {
        failedState = true;
        writeEnabled = true;
    }
    void EnableWrite(bool enable) override { writeEnabled = enable; }
    void SetProgressRange(std::uint16_t) override {}
    void SetProgressPosition(int) override {}
    void SetProgressStep(int) override {}
    void StepProgress() override { ++progressSteps; }
    void Repaint() override {}
    bool KeepGoingAfterExchange() override { return true; }
    void BeginBusy() override { ++busyBegun; }
    void EndBusy() override
    {
        CHECK(busyEnded < busyBegun);
        ++busyEnded;
    }
};

// The packet for `number` (the header's for 0xFFFF), computed from the file
// on its own.
std::vector<std::uint8_t> ExpectedPacket(const ProductName& name, std::uint16_t blockCount, std::uint16_t number,
                                         const std::vector<std::uint8_t>& payload)
{
    std::vector<std::uint8_t> packet(kPacketSize, number == kHeaderNumber ? 0x00 : 0xFF);
    std::copy(name.begin(), name.end(), packet.begin());
    packet[8] = static_cast<std::uint8_t>(number >> 8);
    packet[9] = static_cast<std::uint8_t>(number);
    packet[10] = static_cast<std::uint8_t>(blockCount >> 8);
    packet[11] = static_cast<std::uint8_t>(blockCount);
    if (number != kHeaderNumber) {
        const std::size_t first = std::size_t{number} * kBlockSize;
        const std::size_t count = std::min(kBlockSize, payload.size() - first);
        std::copy_n(payload.begin() + static_cast<std::ptrdiff_t>(first), count, packet.begin() + 12);
    }
    packet[268] = Sum(packet.data(), 268);
    return packet;
}

// Whether the product took the packet, judged here on its own.
bool GoodReply(const Sending& sending, std::uint16_t number)
{
    if (!sending.complete || sending.driverFailed)
        return false;
    if (number == kHeaderNumber)
        return sending.reply[2] == 0;
    return sending.reply[2] == 0 && sending.reply[0] == (number >> 8) && sending.reply[1] == (number & 0xFF) &&
           sending.reply[3] == Sum(sending.reply.data(), 3);
}

bool FileIsFree()
{
    return UpdateImage::FindAndOpen().HasImage();
}

void CheckTransfer(const TransferResult& result, const CheckingView& view, const ProductName& name,
                   const std::vector<std::uint8_t>& payload)
{
    using Ending = TransferResult::Ending;
    CHECK(view.questions == 1);
    CHECK(FileIsFree());
    CHECK(view.writeEnabled);
    if (result.ending == Ending::Declined) {
        CHECK(driver.sendings.empty() && view.closingBoxes == 0 && view.busyBegun == 0);
        return;
    }
    CHECK(result.ending == Ending::Succeeded || result.ending == Ending::Failed);
    CHECK(view.closingBoxes == 1);
    CHECK(view.busyBegun == 1 && view.busyEnded == 1);
    CHECK(view.failedState == (result.ending == Ending::Failed));

    const auto blockCount = static_cast<std::uint16_t>((payload.size() + kBlockSize - 1) / kBlockSize);
    // Sendings in order: the header's once, then each block's, block by
    // block, at most 100 times each; only the last may be cut short.
    std::uint16_t expectedNumber = kHeaderNumber;
    int sendingsOfThisNumber = 0;
    for (std::size_t i = 0; i < driver.sendings.size(); ++i) {
        const Sending& sending = driver.sendings[i];
        const bool last = i + 1 == driver.sendings.size();
        const std::vector<std::string> exchange = {"FT_Purge", "FT_Write", "FT_Read", "FT_Read"};
        CHECK(sending.calls.size() <= exchange.size());
        CHECK(std::equal(sending.calls.begin(), sending.calls.end(), exchange.begin()));
        CHECK(sending.complete || sending.driverFailed);
        CHECK(last || (sending.complete && !sending.driverFailed));
        if (sending.calls.size() < 2)
            continue;
        const std::uint16_t number = static_cast<std::uint16_t>(sending.packet[8] << 8 | sending.packet[9]);
        if (number != expectedNumber) {
            // The one before was taken: the next block follows.
            CHECK(i > 0 && GoodReply(driver.sendings[i - 1], expectedNumber));
            expectedNumber = expectedNumber == kHeaderNumber ? 0 : static_cast<std::uint16_t>(expectedNumber + 1);
            sendingsOfThisNumber = 0;
        }
        CHECK(number == expectedNumber);
        CHECK(++sendingsOfThisNumber <= (number == kHeaderNumber ? 1 : kMaxSendingsOfABlock));
        CHECK(sending.packet == ExpectedPacket(name, blockCount, number, payload));
    }

    if (result.ending == Ending::Succeeded) {
        // Every block's last reply was a good one, the last block's last.
        CHECK(!driver.sendings.empty());
        const std::uint16_t lastNumber = blockCount == 0 ? kHeaderNumber : static_cast<std::uint16_t>(blockCount - 1);
        CHECK(expectedNumber == lastNumber);
        CHECK(GoodReply(driver.sendings.back(), lastNumber));
        CHECK(view.progressSteps == blockCount);
        CHECK(result.message == MessageId::Succeeded);
        return;
    }
    CHECK(!driver.sendings.empty());
    const Sending& last = driver.sendings.back();
    if (last.driverFailed) {
        CHECK(result.message == MessageId::NoProduct);
    } else if (last.reply[2] == 3) {
        CHECK(result.message == MessageId::WriteError);
    } else if (expectedNumber == kHeaderNumber) {
        CHECK(result.message == MessageId::ProductMismatch);
    } else {
        CHECK(result.message == MessageId::WriteError && sendingsOfThisNumber == kMaxSendingsOfABlock);
    }
}

}  // namespace

D2xxModule LoadD2xxModule()
{
    return &driver;
}

D2xxProc FindD2xxEntry(D2xxModule, const char* name)
{
    const std::string entry = name;
    if (entry == "FT_ListDevices")
        return AsProc(&FuzzedListDevices);
    if (entry == "FT_Open")
        return AsProc(&FuzzedOpen);
    if (entry == "FT_SetBaudRate")
        return AsProc(&FuzzedSetBaudRate);
    if (entry == "FT_SetTimeouts")
        return AsProc(&FuzzedSetTimeouts);
    if (entry == "FT_SetDataCharacteristics")
        return AsProc(&FuzzedSetDataCharacteristics);
    if (entry == "FT_Purge")
        return AsProc(&FuzzedPurge);
    if (entry == "FT_Write")
        return AsProc(&FuzzedWrite);
    if (entry == "FT_Read")
        return AsProc(&FuzzedRead);
    if (entry == "FT_Close")
        return AsProc(&FuzzedClose);
    return &NeverCalled;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterFuzzWorkingFolder("transfer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    driver = FuzzedDriver{};
    driver.input = &input;

    ProductName name{};
    input.ConsumeData(name.data(), name.size());
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, kMaxBlocks * kBlockSize);
    const std::vector<std::uint8_t> payload = input.ConsumeBytes<std::uint8_t>(length);
    CheckingView view;
    view.answer = input.ConsumeIntegralInRange<std::uint8_t>(0, 15) == 0 ? BoxAnswer::Cancel : BoxAnswer::Ok;
    {
        const ProductName header = DescrambleHeader(name);  // scrambling undoes itself
        std::ofstream file("image.bin", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(header.data()), header.size());
        file.write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));
    }

    // The start as the main window makes it: any failure ends the program.
    Kestro2 adapter(kCurrentLineRate);
    try {
        adapter.Initialize();
        adapter.Open();
        adapter.SetTimeouts(5000, 5000);
    } catch (const Kestro2::ConnectionError&) {
        CHECK(driver.sendings.empty());
        return 0;
    }
    const std::vector<std::string> startUp = {"FT_ListDevices", "FT_Open", "FT_SetBaudRate", "FT_SetTimeouts",
                                              "FT_SetDataCharacteristics", "FT_SetTimeouts"};
    CHECK(driver.startUpCalls == startUp);

    const TransferResult result = RunImageTransfer(adapter, view);
    CheckTransfer(result, view, name, payload);
    return 0;
}
