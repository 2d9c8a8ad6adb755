// The simulated desktop's side of the calls about process identity and rights, multimedia
// timers, the input state and the wheel settings.
#include "platform/sim_desktop_helpers.h"

#include "platform/registry.h"

#include <algorithm>
#include <cstring>

namespace {

using sim_detail::fail;

FILETIME fileTime(ULONGLONG value)
{
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    t.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return t;
}

} // namespace

DWORD SimDesktop::processOfHandle(HANDLE handle) const
{
    if (handle == currentProcessHandle())
        return kSelfPid;
    const auto open = m_openHandles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (open == m_openHandles.end() || m_processes.count(open->second.first) == 0)
        return 0; // not a process handle, or its process has ended
    return open->second.first;
}

BOOL SimDesktop::getProcessTimes(HANDLE process, LPFILETIME creation, LPFILETIME exit,
                                 LPFILETIME kernel, LPFILETIME user)
{
    const DWORD pid = processOfHandle(process);
    if (pid == 0)
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    const Process *p = &m_processes.at(pid);
    if (!creation || !exit || !kernel || !user)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    *creation = fileTime(p->startTime);
    *exit = fileTime(0); // still running
    *kernel = fileTime(0);
    *user = fileTime(0);
    return TRUE;
}

BOOL SimDesktop::openProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    const DWORD pid = processOfHandle(process);
    if (pid == 0 || !token)
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    if (!m_processes.at(pid).tokenReadable || (access & ~static_cast<DWORD>(TOKEN_QUERY)) != 0)
        return fail<BOOL>(ERROR_ACCESS_DENIED, FALSE);
    const std::uintptr_t handle = (m_nextHandle += 0x10);
    m_tokens[handle] = pid;
    *token = reinterpret_cast<HANDLE>(handle);
    return TRUE;
}

BOOL SimDesktop::getTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info,
                                     DWORD length, PDWORD returnLength)
{
    const auto it = m_tokens.find(reinterpret_cast<std::uintptr_t>(token));
    if (it == m_tokens.end())
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    if (infoClass != TokenIntegrityLevel || !returnLength)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    const auto process = m_processes.find(it->second);
    if (process == m_processes.end())
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    // The label's SID (S-1-16-<level>) follows the structure in the same buffer.
    const DWORD needed = static_cast<DWORD>(sizeof(TOKEN_MANDATORY_LABEL) + sizeof(SID));
    *returnLength = needed;
    if (!info || length < needed)
        return fail<BOOL>(ERROR_INSUFFICIENT_BUFFER, FALSE);
    auto *label = static_cast<TOKEN_MANDATORY_LABEL *>(info);
    SID *sid = reinterpret_cast<SID *>(static_cast<BYTE *>(info) + sizeof(TOKEN_MANDATORY_LABEL));
    std::memset(sid, 0, sizeof(SID));
    sid->Revision = 1;
    sid->SubAuthorityCount = 1;
    sid->IdentifierAuthority.Value[5] = 16; // SECURITY_MANDATORY_LABEL_AUTHORITY
    sid->SubAuthority[0] = process->second.integrity;
    label->Label.Sid = sid;
    label->Label.Attributes = SE_GROUP_INTEGRITY;
    return TRUE;
}

MMRESULT SimDesktop::timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback,
                                  DWORD_PTR user, UINT flags)
{
    // The range timeGetDevCaps reports on Windows: 1 ms to 1000 s.
    if (m_failMultimedia || !callback || delay < 1 || delay > 1000000)
        return 0;
    MultimediaTimer t;
    t.id = m_nextMmId++;
    t.delay = delay;
    t.resolution = std::max<UINT>(resolution, 1);
    t.flags = flags;
    t.dueAt = m_now + delay;
    t.callback = callback;
    t.user = user;
    m_mmTimers.push_back(t);
    return t.id;
}

MMRESULT SimDesktop::timeKillEvent(UINT id)
{
    const auto it = std::find_if(m_mmTimers.begin(), m_mmTimers.end(),
                                 [&](const MultimediaTimer &t) { return t.id == id; });
    if (it == m_mmTimers.end())
        return TIMERR_NOCANDO;
    m_mmTimers.erase(it);
    return TIMERR_NOERROR;
}

DWORD SimDesktop::tickCount() const { return static_cast<DWORD>(m_now); }

BOOL SimDesktop::getLastInputInfo(PLASTINPUTINFO info)
{
    if (!info || info->cbSize != sizeof(LASTINPUTINFO))
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    info->dwTime = static_cast<DWORD>(m_lastInput);
    return TRUE;
}

BOOL SimDesktop::getCursorPos(LPPOINT point)
{
    if (!point)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    *point = m_cursor;
    return TRUE;
}

void SimDesktop::setWheelValue(bool lines, UINT value, UINT winIni)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    (lines ? m_wheelLines : m_wheelChars) = value;
    if (winIni & SPIF_UPDATEINIFILE)
        openRegistryKey(QString::fromLatin1(kDesktopKey))
            ->setValue(QString::fromLatin1(lines ? "WheelScrollLines" : "WheelScrollChars"), QString::number(value));
}

void SimDesktop::setWheelScrollLines(UINT lines) { setWheelValue(true, lines, 0); }

void SimDesktop::setWheelScrollChars(UINT chars) { setWheelValue(false, chars, 0); }

void SimDesktop::failWheelSettingReads(DWORD error)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_failWheelReads = error;
}
