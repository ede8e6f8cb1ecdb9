// The binding, linked against a stand-in for the platform's library loader
// whose entry points record how they are called.
#include "adapter/d2xx_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct FakeLibrary {
    bool present = true;
    std::string missingName;  // the one entry point the library lacks
    std::vector<std::string> lookedUp;
    std::vector<std::string> calls;
    FT_STATUS status = FT_OK;                   // what every fake entry answers
    FT_HANDLE openedHandle = nullptr;           // what FT_Open and FT_OpenEx hand out on success
};

FakeLibrary fake;
int moduleToken;

FT_HANDLE const kDevice = reinterpret_cast<FT_HANDLE>(std::uintptr_t{0x5A5A});

std::string Text(FT_HANDLE handle)
{
    return std::to_string(reinterpret_cast<std::uintptr_t>(handle));
}

FT_STATUS D2XX_API FakeOpen(int index, FT_HANDLE* handle)
{
    fake.calls.push_back("FT_Open " + std::to_string(index));
    if (fake.status == FT_OK)
        *handle = fake.openedHandle;
    return fake.status;
}

FT_STATUS D2XX_API FakeOpenEx(void* arg1, std::uint32_t flags, FT_HANDLE* handle)
{
    fake.calls.push_back("FT_OpenEx " + Text(arg1) + " " + std::to_string(flags));
    if (fake.status == FT_OK)
        *handle = fake.openedHandle;
    return fake.status;
}

FT_STATUS D2XX_API FakeListDevices(void* arg1, void* arg2, std::uint32_t flags)
{
    fake.calls.push_back("FT_ListDevices " + Text(arg1) + " " + Text(arg2) + " " + std::to_string(flags));
    return fake.status;
}

FT_STATUS D2XX_API FakeClose(FT_HANDLE handle)
{
    fake.calls.push_back("FT_Close " + Text(handle));
    return fake.status;
}

FT_STATUS D2XX_API FakeRead(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* received)
{
    fake.calls.push_back("FT_Read " + Text(handle) + " " + Text(buffer) + " " + std::to_string(count) + " " +
                         Text(received));
    return fake.status;
}

FT_STATUS D2XX_API FakeWrite(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* written)
{
    fake.calls.push_back("FT_Write " + Text(handle) + " " + Text(buffer) + " " + std::to_string(count) + " " +
                         Text(written));
    return fake.status;
}

FT_STATUS D2XX_API FakePurge(FT_HANDLE handle, std::uint32_t mask)
{
    fake.calls.push_back("FT_Purge " + Text(handle) + " " + std::to_string(mask));
    return fake.status;
}

FT_STATUS D2XX_API FakeSetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs)
{
    fake.calls.push_back("FT_SetTimeouts " + Text(handle) + " " + std::to_string(readMs) + " " +
                         std::to_string(writeMs));
    return fake.status;
}

FT_STATUS D2XX_API FakeSetDataCharacteristics(FT_HANDLE handle, std::uint8_t bits, std::uint8_t stop,
                                              std::uint8_t parity)
{
    fake.calls.push_back("FT_SetDataCharacteristics " + Text(handle) + " " + std::to_string(bits) + " " +
                         std::to_string(stop) + " " + std::to_string(parity));
    return fake.status;
}

FT_STATUS D2XX_API FakeSetBaudRate(FT_HANDLE handle, std::uint32_t rate)
{
    fake.calls.push_back("FT_SetBaudRate " + Text(handle) + " " + std::to_string(rate));
    return fake.status;
}

// Stands for the 25 entry points that are looked up and never called.
void NeverCalled()
{
    ADD_FAILURE() << "an entry point without a forwarder was called";
}

template <typename Function>
D2xxProc AsProc(Function function)
{
    return reinterpret_cast<D2xxProc>(function);
}

D2xxProc FakeEntry(const std::string& name)
{
    if (name == "FT_Open")
        return AsProc(&FakeOpen);
    if (name == "FT_OpenEx")
        return AsProc(&FakeOpenEx);
    if (name == "FT_ListDevices")
        return AsProc(&FakeListDevices);
    if (name == "FT_Close")
        return AsProc(&FakeClose);
    if (name == "FT_Read")
        return AsProc(&FakeRead);
    if (name == "FT_Write")
        return AsProc(&FakeWrite);
    if (name == "FT_Purge")
        return AsProc(&FakePurge);
    if (name == "FT_SetTimeouts")
        return AsProc(&FakeSetTimeouts);
    if (name == "FT_SetDataCharacteristics")
        return AsProc(&FakeSetDataCharacteristics);
    if (name == "FT_SetBaudRate")
        return AsProc(&FakeSetBaudRate);
    return &NeverCalled;
}

const std::vector<std::string> kLookupOrder = {
    "FT_Write", "FT_Read", "FT_Open", "FT_OpenEx", "FT_ListDevices", "FT_Close", "FT_ResetDevice", "FT_Purge",
    "FT_SetTimeouts", "FT_GetQueueStatus", "FT_SetDtr", "FT_ClrDtr", "FT_SetRts", "FT_ClrRts",
    "FT_GetModemStatus", "FT_SetChars", "FT_SetLatencyTimer", "FT_GetLatencyTimer",
    "FT_SetDataCharacteristics", "FT_SetFlowControl", "FT_SetBreakOn", "FT_SetBreakOff", "FT_ResetPort",
    "FT_GetDeviceInfo", "FT_EE_UASize", "FT_EE_UARead", "FT_EE_UAWrite", "FT_SetBitMode", "FT_GetBitMode",
    "FT_SetEventNotification", "FT_GetStatus", "FT_GetEventStatus", "FT_SetBaudRate", "FT_GetDriverVersion",
    "FT_GetLibraryVersion"};

// Every forwarder once, with recognisable arguments; returns their statuses.
std::vector<FT_STATUS> CallEveryForwarder(D2xxLibrary& library)
{
    char buffer[8] = {};
    std::uint32_t count = 0;
    return {library.ListDevices(nullptr, buffer, 0x40000002),
            library.Open(0),
            library.OpenEx(buffer, 1),
            library.SetBaudRate(100000),
            library.SetDataCharacteristics(8, 0, 0),
            library.SetTimeouts(1000, 2000),
            library.Purge(1),
            library.Write(buffer, 8, &count),
            library.Read(buffer, 4, &count),
            library.Close()};
}

class D2xxLibraryTest : public testing::Test {
protected:
    void SetUp() override { fake = FakeLibrary{}; }
};

}  // namespace

D2xxModule LoadD2xxModule()
{
    return fake.present ? &moduleToken : nullptr;
}

D2xxProc FindD2xxEntry(D2xxModule module, const char* name)
{
    EXPECT_EQ(module, &moduleToken);
    fake.lookedUp.push_back(name);
    return name == fake.missingName ? nullptr : FakeEntry(name);
}

TEST_F(D2xxLibraryTest, LooksUpAll35NamesInTheirOrder)
{
    D2xxLibrary library;
    EXPECT_TRUE(library.Load());
    EXPECT_EQ(fake.lookedUp, kLookupOrder);
    EXPECT_EQ(library.GetModule(), &moduleToken);
}

TEST_F(D2xxLibraryTest, WithoutTheLibraryEveryForwarderAnswers1AndCallsNothing)
{
    fake.present = false;
    D2xxLibrary library;
    EXPECT_FALSE(library.Load());
    EXPECT_EQ(library.GetModule(), nullptr);
    EXPECT_TRUE(fake.lookedUp.empty());
    for (FT_STATUS status : CallEveryForwarder(library))
        EXPECT_EQ(status, FT_INVALID_HANDLE);
    EXPECT_TRUE(fake.calls.empty());
}

// A missing name stops the lookup there; the library stays loaded and the
// entries found before it keep working.
TEST_F(D2xxLibraryTest, AMissingNameStopsTheLookupAndUndoesNothing)
{
    for (const char* missing : {"FT_Write", "FT_Close", "FT_SetBaudRate", "FT_GetLibraryVersion"}) {
        SCOPED_TRACE(missing);
        fake = FakeLibrary{};
        fake.missingName = missing;
        D2xxLibrary library;
        EXPECT_FALSE(library.Load());
        EXPECT_EQ(library.GetModule(), &moduleToken);
        ASSERT_FALSE(fake.lookedUp.empty());
        EXPECT_EQ(fake.lookedUp.back(), missing);
        EXPECT_EQ(fake.lookedUp.size(),
                  std::find(kLookupOrder.begin(), kLookupOrder.end(), missing) - kLookupOrder.begin() + 1);
    }

    // FT_Close (6th) missing: FT_Write (1st) was found, FT_Purge (8th) never looked up.
    fake = FakeLibrary{};
    fake.missingName = "FT_Close";
    D2xxLibrary library;
    ASSERT_FALSE(library.Load());
    std::uint32_t written = 0;
    char byte = 0;
    EXPECT_EQ(library.Write(&byte, 1, &written), FT_OK);
    EXPECT_EQ(library.Purge(1), FT_INVALID_HANDLE);
    EXPECT_EQ(fake.calls.size(), 1u);
}

TEST_F(D2xxLibraryTest, ForwardersPassArgumentsAndStatusesUnchanged)
{
    fake.openedHandle = kDevice;
    D2xxLibrary library;
    ASSERT_TRUE(library.Load());
    ASSERT_EQ(library.Open(0), FT_OK);

    char buffer[8] = {};
    std::uint32_t count = 0;
    const std::string device = Text(kDevice);
    fake.status = 7;  // not a status the binding knows: it must pass through
    EXPECT_EQ(library.SetBaudRate(9600), 7u);
    EXPECT_EQ(library.SetDataCharacteristics(8, 0, 0), 7u);
    EXPECT_EQ(library.SetTimeouts(5000, 4000), 7u);
    EXPECT_EQ(library.Purge(1), 7u);
    EXPECT_EQ(library.Write(buffer, 269, &count), 7u);
    EXPECT_EQ(library.Read(buffer, 4, &count), 7u);
    EXPECT_EQ(library.ListDevices(nullptr, buffer, 0x40000002), 7u);
    EXPECT_EQ(library.OpenEx(buffer, 1), 7u);
    const std::vector<std::string> expected = {
        "FT_Open 0",
        "FT_SetBaudRate " + device + " 9600",
        "FT_SetDataCharacteristics " + device + " 8 0 0",
        "FT_SetTimeouts " + device + " 5000 4000",
        "FT_Purge " + device + " 1",
        "FT_Write " + device + " " + Text(buffer) + " 269 " + Text(&count),
        "FT_Read " + device + " " + Text(buffer) + " 4 " + Text(&count),
        "FT_ListDevices 0 " + Text(buffer) + " 1073741826",
        "FT_OpenEx " + Text(buffer) + " 1",
    };
    EXPECT_EQ(fake.calls, expected);
}

// The device handle has two writers besides Close: FT_Open and FT_OpenEx,
// through their out-parameters.
TEST_F(D2xxLibraryTest, OpenLeavesTheHandleToTheDriver)
{
    using OpenCall = FT_STATUS (*)(D2xxLibrary&);
    static char serialNumber[] = "KS000001";
    const OpenCall byIndex = [](D2xxLibrary& library) { return library.Open(0); };
    const OpenCall bySerialNumber = [](D2xxLibrary& library) { return library.OpenEx(serialNumber, 1); };
    for (const OpenCall open : {byIndex, bySerialNumber}) {
        fake = FakeLibrary{};
        D2xxLibrary library;
        ASSERT_TRUE(library.Load());

        fake.status = FT_DEVICE_NOT_FOUND;
        EXPECT_EQ(open(library), FT_DEVICE_NOT_FOUND);
        EXPECT_EQ(library.GetHandle(), nullptr);

        fake.status = FT_OK;
        fake.openedHandle = kDevice;
        EXPECT_EQ(open(library), FT_OK);
        EXPECT_EQ(library.GetHandle(), kDevice);
    }
}

TEST_F(D2xxLibraryTest, CloseForgetsTheHandleWhateverTheStatus)
{
    fake.openedHandle = kDevice;
    D2xxLibrary library;
    ASSERT_TRUE(library.Load());
    ASSERT_EQ(library.Open(0), FT_OK);

    fake.status = FT_IO_ERROR;
    EXPECT_EQ(library.Close(), FT_IO_ERROR);
    EXPECT_EQ(library.GetHandle(), nullptr);
    // Without an open device, FT_Close is still asked, with handle 0.
    EXPECT_EQ(library.Close(), FT_IO_ERROR);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"FT_Open 0", "FT_Close " + Text(kDevice), "FT_Close 0"}));
}

TEST_F(D2xxLibraryTest, CloseWithoutFtCloseKeepsTheHandle)
{
    fake.missingName = "FT_Close";
    fake.openedHandle = kDevice;
    D2xxLibrary library;
    ASSERT_FALSE(library.Load());
    ASSERT_EQ(library.Open(0), FT_OK);  // FT_Open comes before FT_Close
    EXPECT_EQ(library.Close(), FT_INVALID_HANDLE);
    EXPECT_EQ(library.GetHandle(), kDevice);
}
