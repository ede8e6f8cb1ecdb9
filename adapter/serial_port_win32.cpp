#include "serial_port.h"

#include <string>

#include <windows.h>

namespace {

constexpr std::uint32_t kOpenTimeoutMs = 1000;

HANDLE HandleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// "COM7" names the device \\.\COM7, which is the only form that reaches
// COM10 and above; a path already in that form stays as it is.
std::wstring DevicePath(const std::string& port)
{
    std::wstring path(port.begin(), port.end());
    return path.rfind(L"\\\\.\\", 0) == 0 ? path : L"\\\\.\\" + path;
}

std::string SystemReason(const std::string& port)
{
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        GetLastError(), 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    reason.erase(reason.find_last_not_of("\r\n. ") + 1);
    return port + ": " + reason;
}

}  // namespace

SerialPort::~SerialPort()
{
    Close();
}

void SerialPort::Open()
{
    // No sharing: the port is this program's alone while it is open.
    const HANDLE port =
        CreateFileW(DevicePath(m_path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        throw OpenError(GetLastError() == ERROR_ACCESS_DENIED ? m_path + ": in use by another program"
                                                              : SystemReason(m_path));
    }
    m_handle = reinterpret_cast<std::intptr_t>(port);
    DCB line{};
    line.DCBlength = sizeof line;
    if (GetFileType(port) != FILE_TYPE_CHAR || !GetCommState(port, &line)) {
        Close();
        throw OpenError(m_path + ": not a serial port");
    }
    // The rate as it is: the adapter's COM driver takes any rate. 8N1, no
    // flow control of either kind, and no error that stops the port.
    line.BaudRate = m_lineRate;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fAbortOnError = FALSE;
    if (!SetCommState(port, &line)) {
        const std::string reason = SystemReason(m_path);
        Close();
        throw OpenError(reason);
    }
    try {
        SetTimeouts(kOpenTimeoutMs, kOpenTimeoutMs);
    } catch (const ConnectionError&) {
        Close();
        throw OpenError(m_path + ": the port takes no time-outs");
    }
}

std::uint32_t SerialPort::Close()
{
    if (m_handle == -1)
        return 0;
    const BOOL closed = CloseHandle(HandleOf(m_handle));
    m_handle = -1;
    return closed ? 0 : static_cast<std::uint32_t>(GetLastError());
}

// With the total time-out set and no interval time-out, ReadFile returns
// once all bytes have arrived or the time-out has passed.
void SerialPort::Read(void* buffer, std::uint32_t count)
{
    DWORD received = 0;
    if (m_handle == -1 || !ReadFile(HandleOf(m_handle), buffer, count, &received, nullptr) || received != count)
        throw ReadError();
}

void SerialPort::Write(const void* buffer, std::uint32_t count)
{
    DWORD written = 0;
    if (m_handle == -1 || !WriteFile(HandleOf(m_handle), buffer, count, &written, nullptr) || written != count)
        throw WriteError();
}

LatencyTimerSetting SerialPort::SetLatencyTimer(unsigned)
{
    // The chip maker's COM driver keeps the timer in the device's registry
    // key, which only an administrator may write.
    return {std::nullopt, LatencyTimerSetting::Notice::NeedsAdministrator};
}

void SerialPort::Purge()
{
    if (m_handle == -1 || !PurgeComm(HandleOf(m_handle), PURGE_RXCLEAR))
        throw ConnectionError(std::string());
}

void SerialPort::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = readTimeoutMs;
    timeouts.WriteTotalTimeoutConstant = writeTimeoutMs;
    if (m_handle == -1 || !SetCommTimeouts(HandleOf(m_handle), &timeouts))
        throw ConnectionError(std::string());
}
