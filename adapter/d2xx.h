// The vendor's D2XX driver interface, declared from its published signatures:
// the types, the constants this program uses, and the 35 entry points.
// DWORD, ULONG, UCHAR and USHORT are 32, 32, 8 and 16 bits on every platform.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define D2XX_API __stdcall
#else
#define D2XX_API
#endif

using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;
using FT_DEVICE = std::uint32_t;

inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr FT_STATUS FT_INVALID_PARAMETER = 6;

inline constexpr std::uint32_t FT_OPEN_BY_SERIAL_NUMBER = 1;
inline constexpr std::uint32_t FT_OPEN_BY_DESCRIPTION = 2;
inline constexpr std::uint32_t FT_LIST_NUMBER_ONLY = 0x80000000;
inline constexpr std::uint32_t FT_LIST_BY_INDEX = 0x40000000;

inline constexpr std::uint32_t FT_PURGE_RX = 1;
inline constexpr std::uint32_t FT_PURGE_TX = 2;

inline constexpr std::uint8_t FT_BITS_8 = 8;
inline constexpr std::uint8_t FT_STOP_BITS_1 = 0;
inline constexpr std::uint8_t FT_PARITY_NONE = 0;

// Every entry point, in the order in which the binding looks them up, with
// its parameter types. X(name, parameters...) is expanded once per entry.
#define D2XX_ENTRY_POINTS(X)                                                            \
    X(FT_Write, FT_HANDLE, void*, std::uint32_t, std::uint32_t*)                        \
    X(FT_Read, FT_HANDLE, void*, std::uint32_t, std::uint32_t*)                         \
    X(FT_Open, int, FT_HANDLE*)                                                         \
    X(FT_OpenEx, void*, std::uint32_t, FT_HANDLE*)                                      \
    X(FT_ListDevices, void*, void*, std::uint32_t)                                      \
    X(FT_Close, FT_HANDLE)                                                              \
    X(FT_ResetDevice, FT_HANDLE)                                                        \
    X(FT_Purge, FT_HANDLE, std::uint32_t)                                               \
    X(FT_SetTimeouts, FT_HANDLE, std::uint32_t, std::uint32_t)                          \
    X(FT_GetQueueStatus, FT_HANDLE, std::uint32_t*)                                     \
    X(FT_SetDtr, FT_HANDLE)                                                             \
    X(FT_ClrDtr, FT_HANDLE)                                                             \
    X(FT_SetRts, FT_HANDLE)                                                             \
    X(FT_ClrRts, FT_HANDLE)                                                             \
    X(FT_GetModemStatus, FT_HANDLE, std::uint32_t*)                                     \
    X(FT_SetChars, FT_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t)   \
    X(FT_SetLatencyTimer, FT_HANDLE, std::uint8_t)                                      \
    X(FT_GetLatencyTimer, FT_HANDLE, std::uint8_t*)                                     \
    X(FT_SetDataCharacteristics, FT_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t)   \
    X(FT_SetFlowControl, FT_HANDLE, std::uint16_t, std::uint8_t, std::uint8_t)          \
    X(FT_SetBreakOn, FT_HANDLE)                                                         \
    X(FT_SetBreakOff, FT_HANDLE)                                                        \
    X(FT_ResetPort, FT_HANDLE)                                                          \
    X(FT_GetDeviceInfo, FT_HANDLE, FT_DEVICE*, std::uint32_t*, char*, char*, void*)     \
    X(FT_EE_UASize, FT_HANDLE, std::uint32_t*)                                          \
    X(FT_EE_UARead, FT_HANDLE, std::uint8_t*, std::uint32_t, std::uint32_t*)            \
    X(FT_EE_UAWrite, FT_HANDLE, std::uint8_t*, std::uint32_t)                           \
    X(FT_SetBitMode, FT_HANDLE, std::uint8_t, std::uint8_t)                             \
    X(FT_GetBitMode, FT_HANDLE, std::uint8_t*)                                          \
    X(FT_SetEventNotification, FT_HANDLE, std::uint32_t, void*)                         \
    X(FT_GetStatus, FT_HANDLE, std::uint32_t*, std::uint32_t*, std::uint32_t*)          \
    X(FT_GetEventStatus, FT_HANDLE, std::uint32_t*)                                     \
    X(FT_SetBaudRate, FT_HANDLE, std::uint32_t)                                         \
    X(FT_GetDriverVersion, FT_HANDLE, std::uint32_t*)                                   \
    X(FT_GetLibraryVersion, std::uint32_t*)

// One pointer type per entry point: FT_Write_Fn, FT_Read_Fn, ...
#define D2XX_DECLARE_POINTER_TYPE(name, ...) \
    using name##_Fn = FT_STATUS(D2XX_API*)(__VA_ARGS__);
D2XX_ENTRY_POINTS(D2XX_DECLARE_POINTER_TYPE)
#undef D2XX_DECLARE_POINTER_TYPE
