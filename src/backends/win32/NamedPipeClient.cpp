#include "backends/win32/NamedPipeClient.h"

#include "backends/win32/WideText.h"

#include <windows.h>

namespace kx::platform::win32 {

namespace {

class PipeHandle
{
public:
    explicit PipeHandle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~PipeHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    PipeHandle(const PipeHandle&) = delete;
    PipeHandle& operator=(const PipeHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

InstanceReply failed(std::string error) { return { InstanceReply::Status::Failed, {}, std::move(error) }; }

std::string systemError(const std::string& what, const std::string& address)
{
    return what + " " + address + ": " + systemErrorText(GetLastError());
}

// How long a client waits while every instance of the pipe serves another client.
constexpr DWORD kBusyWaitMilliseconds = 5000;

} // namespace

InstanceReply NamedPipeClient::exchange(const std::string& address, const std::string& request)
{
    const std::wstring path = toWide(address);
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (;;) {
        handle
            = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            break;
        const DWORD error = GetLastError();
        // No pipe of that name: no program listens (a pipe vanishes with its server).
        if (error == ERROR_FILE_NOT_FOUND)
            return { InstanceReply::Status::NotRunning, {}, {} };
        if (error != ERROR_PIPE_BUSY)
            return failed(systemError("connect to", address));
        if (!WaitNamedPipeW(path.c_str(), kBusyWaitMilliseconds))
            return failed(systemError("wait for", address));
    }
    const PipeHandle pipe(handle);

    for (std::size_t written = 0; written < request.size();) {
        DWORD n = 0;
        if (!WriteFile(pipe.get(),
                request.data() + written,
                static_cast<DWORD>(request.size() - written),
                &n,
                nullptr)
            || n == 0)
            return failed(systemError("write to", address));
        written += n;
    }

    std::string line;
    char buffer[64];
    while (line.find('\n') == std::string::npos) {
        DWORD n = 0;
        if (!ReadFile(pipe.get(), buffer, sizeof buffer, &n, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE)
                return failed("kalmotex closed " + address + " without an answer");
            return failed(systemError("read from", address));
        }
        if (n == 0)
            return failed("kalmotex closed " + address + " without an answer");
        line.append(buffer, n);
        if (line.size() > m_maxLineLength)
            return failed("answer from " + address + " too long");
    }
    line.erase(line.find('\n'));
    return { InstanceReply::Status::Answered, std::move(line), {} };
}

std::string currentInstancePipe()
{
    wchar_t user[256] = {};
    DWORD length = 256;
    std::string name = GetUserNameW(user, &length) ? toUtf8(user) : std::string("user");
    // Only characters a pipe name takes without surprise.
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '-' || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
        if (!plain)
            c = '_';
    }
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return "\\\\.\\pipe\\kalmotex-" + name + "-" + std::to_string(session);
}

} // namespace kx::platform::win32
