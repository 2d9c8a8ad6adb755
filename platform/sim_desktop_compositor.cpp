// The simulated display's frame clock: the performance counter and the compositor's timing.
#ifndef _WIN32

#include "platform/sim_desktop_helpers.h"

#include <string>

void SimDesktop::setCompositorClock(UINT numerator, UINT denominator, ULONGLONG periodQpc, ULONGLONG phaseQpc)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_compositor.numerator = numerator;
    m_compositor.denominator = denominator;
    m_compositor.periodQpc = periodQpc;
    m_compositor.phaseQpc = phaseQpc;
}

void SimDesktop::failCompositionTiming(bool fail) { m_compositor.failing = fail; }

void SimDesktop::freezeVerticalBlank(bool frozen)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (frozen && !m_compositor.frozen) {
        DWM_TIMING_INFO info{};
        info.cbSize = sizeof(info);
        const bool failing = m_compositor.failing;
        m_compositor.failing = false;
        dwmGetCompositionTimingInfo(nullptr, &info);
        --m_compositor.calls;
        m_compositor.failing = failing;
        m_compositor.frozenBlank = info.qpcVBlank;
    }
    m_compositor.frozen = frozen;
}

void SimDesktop::setRemoteSession(bool remote) { m_compositor.remoteSession = remote; }
int SimDesktop::compositionTimingCalls() const { return m_compositor.calls; }

ULONGLONG SimDesktop::performanceCounter() const
{
    return static_cast<ULONGLONG>(m_now) * static_cast<ULONGLONG>(kQpcFrequency / 1000);
}

HRESULT SimDesktop::dwmGetCompositionTimingInfo(HWND hwnd, DWM_TIMING_INFO *info)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    ++m_compositor.calls;
    // Since Windows 8.1 the call answers for the desktop only, asked with no window.
    if (hwnd || !info || info->cbSize != sizeof(DWM_TIMING_INFO))
        return E_INVALIDARG;
    if (m_compositor.failing)
        return E_FAIL;
    const UINT32 size = info->cbSize;
    *info = DWM_TIMING_INFO{};
    info->cbSize = size;
    info->rateRefresh.uiNumerator = m_compositor.numerator;
    info->rateRefresh.uiDenominator = m_compositor.denominator;
    info->qpcRefreshPeriod = m_compositor.periodQpc;
    const ULONGLONG now = performanceCounter();
    const ULONGLONG period = m_compositor.periodQpc;
    const ULONGLONG phase = m_compositor.phaseQpc;
    if (m_compositor.frozen)
        info->qpcVBlank = m_compositor.frozenBlank;
    else if (period == 0 || now < phase)
        info->qpcVBlank = 0;
    else
        info->qpcVBlank = phase + (now - phase) / period * period;
    info->qpcCompose = info->qpcVBlank;
    return S_OK;
}

int SimDesktop::getSystemMetrics(int index) const
{
    return index == SM_REMOTESESSION && m_compositor.remoteSession ? 1 : 0;
}

void SimDesktop::setMonitorRefreshRate(HMONITOR monitor, DWORD hz)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_monitorRates[reinterpret_cast<std::uintptr_t>(monitor)] = hz;
}

void SimDesktop::setDisplayModeReadDelay(long long milliseconds) { m_displayModeReadDelay = milliseconds; }

BOOL SimDesktop::enumDisplaySettings(LPCWSTR deviceName, DWORD mode, DEVMODEW *devMode)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_now += m_displayModeReadDelay;
    if (!deviceName || !devMode || mode != ENUM_CURRENT_SETTINGS || devMode->dmSize != sizeof(DEVMODEW))
        return FALSE;
    for (const auto &monitor : m_monitors) {
        if (deviceName == L"\\\\.\\DISPLAY" + std::to_wstring(monitor.first)) {
            const auto rate = m_monitorRates.find(monitor.first);
            devMode->dmDisplayFrequency = rate == m_monitorRates.end() ? 60 : rate->second;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI EnumDisplaySettingsW(LPCWSTR lpszDeviceName, DWORD iModeNum, DEVMODEW *lpDevMode)
{
    return sim_detail::served(__func__).enumDisplaySettings(lpszDeviceName, iModeNum, lpDevMode);
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *lpPerformanceCount)
{
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(sim_detail::served(__func__).performanceCounter());
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *lpFrequency)
{
    lpFrequency->QuadPart = SimDesktop::kQpcFrequency;
    return TRUE;
}

HRESULT WINAPI DwmGetCompositionTimingInfo(HWND hwnd, DWM_TIMING_INFO *pTimingInfo)
{
    return sim_detail::served(__func__).dwmGetCompositionTimingInfo(hwnd, pTimingInfo);
}

int WINAPI GetSystemMetrics(int nIndex) { return sim_detail::served(__func__).getSystemMetrics(nIndex); }

#endif
