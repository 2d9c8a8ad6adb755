#include "platform/sim_desktop_helpers.h"

#include <algorithm>
#include <limits>

namespace {

using sim_detail::key;

// The last-error code is per thread on Windows; the wheel-lines worker relies on that.
thread_local DWORD t_lastError = ERROR_SUCCESS;

const HINSTANCE kModuleHandle = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});

} // namespace

void simSetLastError(DWORD error) { t_lastError = error; }
DWORD simLastError() { return t_lastError; }

SimDesktop::SimDesktop() { reset(); }

SimDesktop &SimDesktop::instance()
{
    static SimDesktop desktop;
    return desktop;
}

void SimDesktop::reset()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_windows.clear();
    m_zOrder.clear();
    m_created.clear();
    m_processes.clear();
    m_openHandles.clear();
    m_classes.clear();
    m_hooks.clear();
    m_hookCallStack.clear();
    m_hookReachedEnd.clear();
    m_timers.clear();
    m_keys.clear();
    m_keyQueries.clear();
    m_posted.clear();
    m_postFailures.clear();
    m_history.clear();
    m_windowFromPointOverride.reset();
    m_foreground = nullptr;
    m_monitors.clear();
    m_wheelRouting = MOUSEWHEEL_ROUTING_MOUSE_POS;
    m_pendingInput.clear();
    m_received.clear();
    m_hooksEntered = 0;
    m_nextHandle = 0x1000;
    m_nextPid = 100;
    m_nextProcessThread = 0x2000;
    sim_detail::forgetServedCalls();
    m_now = 0;
    m_compositor = Compositor{};
    m_monitorRates.clear();
    m_displayModeReadDelay = 0;
    m_timerSequence = 0;
    m_wheelLines = 3;
    m_wheelChars = 3;
    m_spiFlags.clear();
    m_counts = {};
    m_lastOpenAccess = 0;
    m_lastOpenInherit = FALSE;
    m_failures = {};
    m_failWheelReads = 0;
    m_tokens.clear();
    m_mmTimers.clear();
    m_queue.clear();
    m_cursor = POINT{0, 0};
    m_lastInput = 0;
    m_blockedThreads.clear();
    m_monitorScales.clear();
    m_failMultimedia = false;
    {
        std::lock_guard<std::mutex> threads(m_threadMutex);
        m_waitableTimers.clear();
        m_events.clear();
        m_heldThreads.clear();
    }
    m_loopStandIn = nullptr;
    m_failWaitableTimers = 0;
    m_nextMmId = 1;
    m_nextStartTime = 132000000000000000ull; // some day in 2019, in FILETIME units
    m_hooksRemovedBySystem = 0;
    m_setHookCalls = 0;
    t_lastError = ERROR_SUCCESS;
    addProcess(L"C:\\Program Files\\Sorvella\\Sorvella.exe", true, kSelfPid);
    addMonitor({0, 0, 1920, 1080});
}

// ---- processes ----------------------------------------------------------------------

DWORD SimDesktop::addProcess(const std::wstring &imagePath, bool canOpen, DWORD pid)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (pid == 0) {
        pid = m_nextPid;
        m_nextPid += 4;
    }
    Process process;
    process.imagePath = imagePath;
    process.canOpen = canOpen;
    process.startTime = (m_nextStartTime += 10000); // each a millisecond later
    // Thread ids are never those of an earlier process, even where its pid is given again.
    process.thread = (m_nextProcessThread += 4);
    m_processes[pid] = process;
    return pid;
}

void SimDesktop::endProcess(DWORD pid)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    destroyWindowsWhere([pid](const Window &w) { return w.pid == pid; });
    m_processes.erase(pid);
}

void SimDesktop::setProcessIntegrity(DWORD pid, DWORD rid, bool tokenReadable)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_processes.find(pid);
    if (it != m_processes.end()) {
        it->second.integrity = rid;
        it->second.tokenReadable = tokenReadable;
    }
}

void SimDesktop::setProcessOpenable(DWORD pid, bool canOpen)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_processes.find(pid);
    if (it != m_processes.end())
        it->second.canOpen = canOpen;
}

void SimDesktop::setImageNameQueryError(DWORD pid, DWORD error)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_processes.find(pid);
    if (it != m_processes.end())
        it->second.queryError = error;
}

DWORD SimDesktop::lastOpenProcessAccess() const { return m_lastOpenAccess; }
BOOL SimDesktop::lastOpenProcessInherit() const { return m_lastOpenInherit; }
int SimDesktop::openHandleCount() const { return static_cast<int>(m_openHandles.size()); }
int SimDesktop::openedHandleTotal() const { return m_counts.openedTotal; }
int SimDesktop::badCloseCount() const { return m_counts.badCloses; }

// ---- windows ------------------------------------------------------------------------

HWND SimDesktop::newWindow(DWORD pid, DWORD style, HWND parent, WNDPROC proc, HINSTANCE hInstance,
                           const std::wstring &className, const std::wstring &title, const Rect &rect,
                           std::uintptr_t handle)
{
    const std::uintptr_t id = handle ? handle : (m_nextHandle += 0x10);
    Window w;
    w.hwnd = reinterpret_cast<HWND>(id);
    w.pid = pid;
    w.style = style;
    w.parent = parent;
    w.proc = proc;
    w.hInstance = hInstance;
    w.className = className;
    w.title = title;
    w.rect = rect;
    w.messageOnly = (parent == HWND_MESSAGE);
    w.visible = !w.messageOnly && (style & WS_VISIBLE) != 0;
    m_windows[id] = w;
    m_zOrder.push_back(id);
    return w.hwnd;
}

HWND SimDesktop::addWindow(DWORD pid, const Rect &rect, bool visible, WNDPROC proc)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return newWindow(pid, visible ? WS_VISIBLE : 0, nullptr, proc, nullptr, L"SimAppWindow", L"", rect);
}

HWND SimDesktop::addWindowReusing(HWND destroyed, DWORD pid, const Rect &rect)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!destroyed || findWindow(destroyed))
        return nullptr; // a handle in use is never given again
    m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), key(destroyed)), m_zOrder.end());
    return newWindow(pid, WS_VISIBLE, nullptr, nullptr, nullptr, L"SimAppWindow", L"", rect, key(destroyed));
}

void SimDesktop::setWindowParent(HWND child, HWND parent)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Window *w = findWindow(child);
    if (w && w->parent && findWindow(parent) && parent != child)
        w->parent = parent;
}

void SimDesktop::setWindowVisible(HWND hwnd, bool visible)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (Window *w = findWindow(hwnd))
        w->visible = visible && !w->messageOnly;
}

void SimDesktop::setWindowRect(HWND hwnd, const Rect &rect)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (Window *w = findWindow(hwnd))
        w->rect = rect;
}

SimDesktop::Window *SimDesktop::findWindow(HWND hwnd)
{
    auto it = m_windows.find(key(hwnd));
    return it == m_windows.end() ? nullptr : &it->second;
}

const SimDesktop::Window *SimDesktop::findWindow(HWND hwnd) const
{
    auto it = m_windows.find(key(hwnd));
    return it == m_windows.end() ? nullptr : &it->second;
}

bool SimDesktop::windowExists(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return findWindow(hwnd) != nullptr;
}

bool SimDesktop::isMessageOnly(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    return w && w->messageOnly;
}

std::wstring SimDesktop::windowClassName(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    return w ? w->className : std::wstring();
}

std::wstring SimDesktop::windowTitle(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    return w ? w->title : std::wstring();
}

DWORD SimDesktop::windowStyle(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    return w ? w->style : 0;
}

int SimDesktop::liveWindowCount() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return static_cast<int>(m_windows.size());
}

std::vector<HWND> SimDesktop::createdWindows() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_created;
}

std::vector<UINT> SimDesktop::deliveredMessages(HWND hwnd) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // Destroyed windows keep their record in m_created only; their history is kept here.
    auto it = m_history.find(key(hwnd));
    return it == m_history.end() ? std::vector<UINT>() : it->second;
}

void SimDesktop::clearDeliveredMessages()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_history.clear();
}

void SimDesktop::overrideWindowFromPoint(std::optional<HWND> hwnd)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_windowFromPointOverride = hwnd;
}

LRESULT SimDesktop::deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    DWORD owner = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Window *w = findWindow(hwnd);
        if (!w)
            return 0;
        m_history[key(hwnd)].push_back(message);
        proc = w->proc;
        owner = w->thread;
    }
    const ActingThread acting(owner);
    if (!proc)
        return defWindowProc(hwnd, message, wParam, lParam);
    return proc(hwnd, message, wParam, lParam);
}

LRESULT SimDesktop::sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return deliver(hwnd, message, wParam, lParam);
}

// ---- classes and modules ------------------------------------------------------------

HINSTANCE SimDesktop::moduleHandle() const { return kModuleHandle; }

bool SimDesktop::isClassRegistered(HINSTANCE hInstance, const std::wstring &className) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return std::any_of(m_classes.begin(), m_classes.end(), [&](const WindowClass &c) {
        return c.hInstance == hInstance && c.name == className;
    });
}

int SimDesktop::registerClassCalls() const { return m_counts.registerClassCalls; }

// ---- keys ---------------------------------------------------------------------------

void SimDesktop::setKeyDown(int vk, bool down)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_keys[vk] = down ? static_cast<SHORT>(0x8000) : SHORT{0};
}

void SimDesktop::setKeyStateRaw(int vk, SHORT state)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_keys[vk] = state;
}

std::vector<int> SimDesktop::keyQueries() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_keyQueries;
}

void SimDesktop::clearKeyQueries()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_keyQueries.clear();
}

// ---- the hook chain -----------------------------------------------------------------

SimDesktop::HookOutcome SimDesktop::injectMouse(UINT message, POINT pt, DWORD mouseData, int nCode,
                                                DWORD flags, ULONG_PTR extraInfo)
{
    awaitParkedThreads();
    m_cursor = pt;
    MSLLHOOKSTRUCT info{};
    info.pt = pt;
    info.mouseData = mouseData;
    info.flags = flags;
    info.dwExtraInfo = extraInfo;
    const HookOutcome outcome = runHookChain(message, info, nCode);
    deliverPendingInput();
    return outcome;
}

SimDesktop::HookOutcome SimDesktop::runHookChain(UINT message, const MSLLHOOKSTRUCT &event, int nCode)
{
    HookOutcome outcome;
    const auto stalls = [this](const Hook &h) { return m_blockedThreads.count(h.owner) != 0; };
    if (std::any_of(m_hooks.begin(), m_hooks.end(), stalls)) {
        // The system waits for a stalled thread once, then gives up on every hook of it.
        m_now += kLowLevelHooksTimeout;
        const auto kept = std::remove_if(m_hooks.begin(), m_hooks.end(), stalls);
        m_hooksRemovedBySystem += static_cast<int>(m_hooks.end() - kept);
        m_hooks.erase(kept, m_hooks.end());
    }
    m_lastInput = m_now;
    MSLLHOOKSTRUCT info = event;
    info.time = static_cast<DWORD>(m_now);
    if (m_hooks.empty()) {
        outcome.reachedEnd = true;
    } else {
        m_hookCallStack.push_back(0);
        m_hookReachedEnd.push_back(false);
        const int calledBefore = m_hooksEntered;
        HOOKPROC proc = m_hooks.front().proc;
        const ActingThread acting(m_hooks.front().owner);
        ++m_hooksEntered;
        outcome.result = proc(nCode, static_cast<WPARAM>(message), reinterpret_cast<LPARAM>(&info));
        outcome.hooksCalled = m_hooksEntered - calledBefore;
        outcome.reachedEnd = m_hookReachedEnd.back();
        m_hookCallStack.pop_back();
        m_hookReachedEnd.pop_back();
    }
    if (outcome.passedOn() && nCode == HC_ACTION)
        routeWheel(message, info);
    return outcome;
}

SimDesktop::HookOutcome SimDesktop::injectWheel(short delta, POINT pt, UINT message)
{
    const DWORD data = static_cast<DWORD>(static_cast<WORD>(delta)) << 16;
    return injectMouse(message, pt, data, HC_ACTION);
}

int SimDesktop::installedHookCount() const { return static_cast<int>(m_hooks.size()); }

HOOKPROC SimDesktop::installedHookProc() const
{
    return m_hooks.empty() ? nullptr : m_hooks.front().proc;
}

HINSTANCE SimDesktop::installedHookModule() const
{
    return m_hooks.empty() ? nullptr : m_hooks.front().module;
}

DWORD SimDesktop::installedHookThread() const
{
    return m_hooks.empty() ? 0 : m_hooks.front().thread;
}

DWORD SimDesktop::hookOwnerThread() const
{
    return m_hooks.empty() ? 0 : m_hooks.front().owner;
}

void SimDesktop::blockThread(DWORD threadId, bool blocked)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (blocked)
        m_blockedThreads.insert(threadId);
    else
        m_blockedThreads.erase(threadId);
}
int SimDesktop::hooksRemovedBySystem() const { return m_hooksRemovedBySystem; }
int SimDesktop::setWindowsHookCalls() const { return m_setHookCalls; }

// ---- timers -------------------------------------------------------------------------

std::optional<SimDesktop::TimerInfo> SimDesktop::timer(HWND hwnd, UINT_PTR id) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_timers.find({key(hwnd), id});
    if (it == m_timers.end())
        return std::nullopt;
    return it->second;
}

int SimDesktop::timerCount() const { return static_cast<int>(m_timers.size()); }
int SimDesktop::setTimerCalls() const { return m_counts.setTimerCalls; }
int SimDesktop::killTimerCalls() const { return m_counts.killTimerCalls; }
long long SimDesktop::now() const { return m_now; }

bool SimDesktop::fireTimer(HWND hwnd, UINT_PTR id)
{
    TIMERPROC proc = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto it = m_timers.find({key(hwnd), id});
        if (it == m_timers.end())
            return false;
        it->second.dueAt = m_now + it->second.effectiveInterval;
        proc = it->second.proc;
    }
    if (proc) {
        proc(hwnd, WM_TIMER, id, static_cast<DWORD>(m_now));
        return true;
    }
    deliver(hwnd, WM_TIMER, id, 0);
    return true;
}

// Fires the timer of either kind that falls due first, if one does by `until`; a window
// timer first when both are due at once. Returns the number fired (0 or 1).
int SimDesktop::fireNextTimer(long long until)
{
    const TimerInfo *next = nullptr;
    for (const auto &entry : m_timers) {
        if (!next || entry.second.dueAt < next->dueAt)
            next = &entry.second;
    }
    const MultimediaTimer *nextMm = nullptr;
    for (const MultimediaTimer &t : m_mmTimers) {
        if (!nextMm || t.dueAt < nextMm->dueAt)
            nextMm = &t;
    }
    long long otherDueAt = std::numeric_limits<long long>::max();
    if (next)
        otherDueAt = next->dueAt;
    if (nextMm)
        otherDueAt = std::min(otherDueAt, nextMm->dueAt);
    const long long waitableDue = nextWaitableTimerDue();
    if (wakeCompositorWaiter(until, waitableDue >= 0 ? std::min(otherDueAt, waitableDue) : otherDueAt))
        return 1;
    if (fireWaitableTimer(until, otherDueAt))
        return 1;
    if (nextMm && (!next || nextMm->dueAt < next->dueAt)) {
        if (nextMm->dueAt > until)
            return 0;
        MultimediaTimer fired = *nextMm;
        m_now = std::max(m_now, fired.dueAt);
        wakeDueThreads();
        if (fired.flags & TIME_PERIODIC)
            m_mmTimers[static_cast<std::size_t>(nextMm - m_mmTimers.data())].dueAt = m_now + fired.delay;
        else
            m_mmTimers.erase(m_mmTimers.begin() + (nextMm - m_mmTimers.data()));
        fired.callback(fired.id, 0, fired.user, 0, 0);
        pumpMessages();
        return 1;
    }
    if (!next || next->dueAt > until)
        return 0;
    const HWND hwnd = next->hwnd;
    const UINT_PTR id = next->id;
    m_now = std::max(m_now, next->dueAt);
    wakeDueThreads();
    fireTimer(hwnd, id);
    return 1;
}

int SimDesktop::advanceTime(long long milliseconds)
{
    awaitParkedThreads();
    const long long end = m_now + milliseconds;
    pumpMessages();
    int fired = 0;
    while (fireNextTimer(end) == 1)
        ++fired;
    m_now = end;
    wakeDueThreads();
    return fired;
}

int SimDesktop::runTimers(int maxFires)
{
    awaitParkedThreads();
    pumpMessages();
    int fired = 0;
    while (fired < maxFires && fireNextTimer(std::numeric_limits<long long>::max()) == 1)
        ++fired;
    return fired;
}

std::vector<SimDesktop::MultimediaTimer> SimDesktop::multimediaTimers() const { return m_mmTimers; }
void SimDesktop::failMultimediaTimers(bool fail) { m_failMultimedia = fail; }
int SimDesktop::multimediaTimerStarts() const { return static_cast<int>(m_nextMmId) - 1; }

UINT SimDesktop::raisedTimerResolution() const
{
    UINT finest = 0;
    for (const MultimediaTimer &t : m_mmTimers) {
        if (finest == 0 || t.resolution < finest)
            finest = t.resolution;
    }
    return finest;
}

// ---- posted messages ----------------------------------------------------------------

const std::vector<SimDesktop::PostedMessage> &SimDesktop::posted() const { return m_posted; }

void SimDesktop::clearPosted()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // The record's memory goes too: long runs clear it to keep the model's memory flat.
    std::vector<PostedMessage>().swap(m_posted);
}

int SimDesktop::postAttempts() const { return m_counts.postAttempts; }
int SimDesktop::failedPosts() const { return m_counts.failedPosts; }

int SimDesktop::pumpMessages()
{
    int dispatched = 0;
    while (!m_queue.empty()) {
        const PostedMessage m = m_queue.front();
        m_queue.pop_front();
        deliver(m.hwnd, m.message, m.wParam, m.lParam);
        ++dispatched;
    }
    return dispatched;
}

std::size_t SimDesktop::queuedMessageCount() const { return m_queue.size(); }

// ---- system parameters --------------------------------------------------------------

UINT SimDesktop::wheelScrollLines() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_wheelLines;
}

UINT SimDesktop::wheelScrollChars() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_wheelChars;
}


UINT SimDesktop::systemParametersFlags(UINT action) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_spiFlags.find(action);
    return it == m_spiFlags.end() ? 0 : it->second;
}

int SimDesktop::systemParametersCalls() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_counts.spiCalls;
}

// ---- injectable failures ------------------------------------------------------------

void SimDesktop::failModuleHandle(DWORD error) { m_failures.moduleHandle = error; }
void SimDesktop::failRegisterClass(DWORD error) { m_failures.registerClass = error; }
void SimDesktop::failCreateMessageOnlyWindow(DWORD error) { m_failures.messageOnly = error; }
void SimDesktop::failCreateTopLevelWindow(DWORD error) { m_failures.topLevel = error; }
void SimDesktop::failHookInstall(DWORD error) { m_failures.hook = error; }
void SimDesktop::failSetTimer(DWORD error) { m_failures.setTimer = error; }

void SimDesktop::failSystemParameters(DWORD error)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_failures.spi = error;
}

void SimDesktop::failPostTo(HWND hwnd, DWORD error)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (error == 0)
        m_postFailures.erase(key(hwnd));
    else
        m_postFailures[key(hwnd)] = error;
}
