#include "engine/window_process.h"

#include <algorithm>
#include <optional>

namespace {

std::optional<ULONGLONG> startTimeOf(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return std::nullopt;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The last sub-authority of the token's integrity label (SECURITY_MANDATORY_*_RID).
std::optional<DWORD> integrityLevelOf(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return std::nullopt;
    // The label and its SID (one sub-authority) come in one buffer.
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + 68];
    DWORD size = 0;
    const BOOL ok = GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size);
    CloseHandle(token);
    if (!ok)
        return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL *>(buffer)->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0)
        return std::nullopt;
    return *GetSidSubAuthority(sid, count - 1);
}

std::optional<DWORD> ownIntegrityLevel()
{
    // Our own level does not change while we run.
    static const std::optional<DWORD> level = integrityLevelOf(GetCurrentProcess());
    return level;
}

// The longest path the system gives, in characters with the terminator.
constexpr DWORD kLongestImagePath = 32768;

std::wstring imagePath(HANDLE process)
{
    // Most paths fit MAX_PATH; a longer one is asked for again with room for the longest.
    WCHAR shortBuffer[MAX_PATH] = {};
    std::wstring longBuffer;
    WCHAR *buffer = shortBuffer;
    DWORD capacity = MAX_PATH;
    DWORD size = capacity;
    if (!QueryFullProcessImageNameW(process, 0, buffer, &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return {};
        longBuffer.resize(kLongestImagePath);
        buffer = &longBuffer[0];
        capacity = kLongestImagePath;
        size = capacity;
        if (!QueryFullProcessImageNameW(process, 0, buffer, &size))
            return {};
    }
    return std::wstring(buffer, std::min(size, capacity));
}

std::wstring lastPathComponent(const std::wstring &path)
{
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring imageFileName(HANDLE process)
{
    return lastPathComponent(imagePath(process));
}

} // namespace

WindowProcess windowProcess(HWND hwnd)
{
    DWORD pid = 0;
    if (IsWindow(hwnd))
        GetWindowThreadProcessId(hwnd, &pid);
    return processById(pid);
}

WindowProcess processById(DWORD pid)
{
    WindowProcess result;
    result.pid = pid;
    if (result.pid == 0)
        return result;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, result.pid);
    if (!process)
        return result;
    result.fileName = imageFileName(process);
    result.startTime = startTimeOf(process).value_or(0);
    const std::optional<DWORD> theirs = integrityLevelOf(process);
    const std::optional<DWORD> ours = ownIntegrityLevel();
    result.outranksUs = theirs && ours && *theirs > *ours;
    CloseHandle(process);
    return result;
}

bool processStillRuns(DWORD pid, ULONGLONG startTime)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    // A process that has ended but is still held open by someone keeps its pid and start
    // time; its pid is reused only once it is gone, with a new start time.
    const std::optional<ULONGLONG> started = startTimeOf(process);
    CloseHandle(process);
    return !started || startTime == 0 || *started == startTime;
}

std::wstring processImagePath(DWORD pid)
{
    HANDLE process = pid ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr;
    if (!process)
        return {};
    std::wstring path = imagePath(process);
    CloseHandle(process);
    return path;
}

std::wstring processFileName(DWORD pid)
{
    return lastPathComponent(processImagePath(pid));
}
