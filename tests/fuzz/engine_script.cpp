#include "engine_script.h"

#include "fuzz_check.h"
#include "fuzz_documents.h"

#include "config/config_document.h"
#include "engine/animation_clock.h"
#include "engine/engine_log.h"
#include "engine/wheel_route.h"
#include "engine/wheel_units.h"
#include "tests/support/engine_state.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

using S = SmoothScroller;

const wchar_t *const kImages[] = {
    L"C:\\Program Files\\Viewer\\app.exe",
    L"D:\\tools\\App.exe",
    L"C:\\Windows\\SystemApps\\SearchHost.exe",
    L"C:\\Program Files\\编辑器\\编辑器.exe",
    L"C:\\Games\\p7.exe",
    L"noslash.exe",
    L"",
};

const std::string kProfileNames[] = {"app.exe", "App.exe", "SearchHost.exe", "编辑器.exe", "p7.exe", "default"};

const short kDeltas[] = {120, -120, 240, -240, 1, -1, 0, 32767, -32768, 121, -121, 720};

const UINT kOtherMessages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                               WM_XBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEHWHEEL, WM_MOUSEWHEEL};

const int kKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};

const DWORD kPostErrors[] = {0, ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_QUOTA};

const std::wstring kClassNames[] = {
    L"Windows.UI.Core.CoreWindow", L"ApplicationFrameWindow", L"InputSiteWindowClass",
    L"Microsoft.UI.Content.DesktopChildSiteBridge", L"SimAppWindow", L"",
    L"Windows.UI.Core.CoreWindow" + std::wstring(300, L'x'), L"windows.ui.core.corewindow",
};

// What dwExtraInfo carries: nothing, our tag, the pen and touch signature, anything.
const ULONG_PTR kExtraInfos[] = {0, kInjectedStepTag, 0xFF515700, 0xFF515780};

// Lines or characters per notch: none, the usual ones, a large one, a page.
const UINT kPerNotch[] = {0, 1, 2, 3, 5, 7, 100, 1000000, WHEEL_PAGESCROLL};
const UINT kRefreshRates[] = {60, 144, 240, 1000}; // in Hz, the last beyond any display

// Fine-grained deltas of touchpads and fine wheels, and whole notches among them.
const short kFineDeltas[] = {40, -40, 30, -8, 8, 60, 120, -120};

const std::optional<UINT> kRoutings[] = {MOUSEWHEEL_ROUTING_MOUSE_POS, MOUSEWHEEL_ROUTING_FOCUS,
                                         MOUSEWHEEL_ROUTING_HYBRID, 7u, std::nullopt};

HWND rootOf(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

// 2^18: up to here the float sums of an animation stay far enough within half a unit that
// what it posts is exactly its target; beyond, a unit more or less is the arithmetic's limit.
constexpr float kExactRange = 262144.0f;

float remaining(WheelAxis axis)
{
    return remainingDistance(S::animation(axis));
}

// New animations whose clock the hook started, per axis, as its log reports them.
int s_starts[2] = {0, 0};

void countStarts(QtMsgType, const QMessageLogContext &, const QString &message)
{
    static const QString kStarted = QStringLiteral("[LLMouseProc] New timer SET with ID: ");
    if (message.startsWith(kStarted)) {
        if (const auto axis = axisOfClock(message.mid(kStarted.size()).toULongLong()))
            ++s_starts[static_cast<int>(*axis)];
    }
}

// The starts counted so far: every line the engine made before is written by then.
const int *startsSoFar()
{
    EngineLog::flush();
    return s_starts;
}

int sign(float value)
{
    return (value > 0.0f) - (value < 0.0f);
}

} // namespace

EngineScript::EngineScript()
{
    sim().reset();
    resetEngineState();
    publishSharedConfig(initialConfig());
    m_profileNames.assign(std::begin(kProfileNames), std::end(kProfileNames));
    for (const wchar_t *image : {kImages[0], kImages[1]}) {
        const DWORD pid = sim().addProcess(image);
        m_apps.push_back({sim().addWindow(pid, {0, 0, 1000, 800}), pid});
    }
    m_monitors.push_back(MonitorFromWindow(m_apps[0].hwnd, MONITOR_DEFAULTTOPRIMARY));
    m_previousHandler = qInstallMessageHandler(countStarts);
    FUZZ_CHECK(m_engine.start());
}

EngineScript::~EngineScript()
{
    m_engine.stop();
    FUZZ_CHECK(sim().installedHookCount() == 0);
    FUZZ_CHECK(sim().timerCount() == 0 && sim().multimediaTimers().empty() && sim().armedWaitableTimers() == 0);
    FUZZ_CHECK(sim().raisedTimerResolution() == 0);
    FUZZ_CHECK(sim().openHandleCount() == 0);
    FUZZ_CHECK(sim().badCloseCount() == 0);
    sim().reset();
    resetEngineState();
    qInstallMessageHandler(m_previousHandler);
    // Nothing of one input outlives it, so that the fuzzer's leak check balances.
    publishSharedConfig(initialConfig());
}

bool EngineScript::step(ByteReader &in)
{
    if (in.empty())
        return false;
    const std::uint32_t kind = in.below(16);
    if (kind < 6)
        hookEvent(in);
    else if (kind < 7)
        in.flag() ? fineStream(in) : spinStream(in);
    else if (kind < 11)
        tick(in);
    else if (kind < 13)
        publishSharedConfig(fuzzedDocument(in, m_profileNames));
    else
        changeDesktop(in);
    checkIdle();
    return true;
}

void EngineScript::addApp(ByteReader &in)
{
    if (m_apps.size() >= 32)
        return;
    const wchar_t *image = kImages[in.below(7)];
    const DWORD pid = sim().addProcess(image, in.below(8) != 0);
    const LONG left = LONG(in.below(4) * 100);
    m_apps.push_back({sim().addWindow(pid, {left, left, left + 700, left + 600}, in.below(8) != 0), pid});
}

HWND EngineScript::pickWindow(ByteReader &in) const
{
    return m_apps[in.below(std::uint32_t(m_apps.size()))].hwnd;
}

POINT EngineScript::pickPoint(ByteReader &in) const
{
    switch (in.below(4)) {
    case 0: return {static_cast<LONG>(static_cast<std::int32_t>(in.dword())),
                    static_cast<LONG>(static_cast<std::int32_t>(in.dword()))};
    case 1: return {1500, 1200}; // no window there
    default: return {LONG(120 + in.below(300)), LONG(340 + in.below(200))};
    }
}

void EngineScript::hookEvent(ByteReader &in)
{
    const bool wasAnimating[2] = {S::s_vertical.isAnimating, S::s_horizontal.isAnimating};
    const int startsBefore[2] = {startsSoFar()[0], startsSoFar()[1]};
    const int failedPosts = sim().failedPosts();
    const std::uint32_t kind = in.below(8);
    int nCode = HC_ACTION;
    if (in.below(16) == 0)
        nCode = static_cast<signed char>(in.byte());
    if (kind == 0) {
        // A hook call without an event record.
        S::LLMouseProc(nCode, WM_MOUSEWHEEL, 0);
    } else if (kind == 1) {
        const UINT message = in.flag() ? kOtherMessages[in.below(8)] : in.word();
        const POINT pt = pickPoint(in);
        sim().injectMouse(message, pt, in.dword(), nCode);
    } else {
        const std::uint32_t choice = in.below(16);
        const short delta = choice < 12 ? kDeltas[choice] : static_cast<short>(in.word());
        const DWORD mouseData = (DWORD(std::uint16_t(delta)) << 16) | (in.below(8) == 0 ? in.word() : 0);
        // Kinds 6 and 7 are the tilt wheel's.
        const UINT message = kind >= 6 ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
        const POINT pt = pickPoint(in);
        // Now and then injected, or carrying a tag (ours among them) without being injected.
        const std::uint32_t how = in.below(8);
        const DWORD flags = how >= 4 ? LLMHF_INJECTED : 0;
        const ULONG_PTR extra = how % 4 == 0 ? 0 : kExtraInfos[in.below(4)];
        wheelEvent(message, pt, mouseData, nCode, flags, extra);
        return;
    }
    afterAnyHookEvent(wasAnimating, startsBefore, failedPosts);
}

SimDesktop::HookOutcome EngineScript::wheelEvent(UINT message, POINT pt, DWORD mouseData, int nCode, DWORD flags,
                                                 ULONG_PTR extra)
{
    const bool wasAnimating[2] = {S::s_vertical.isAnimating, S::s_horizontal.isAnimating};
    const int startsBefore[2] = {startsSoFar()[0], startsSoFar()[1]};
    const int failedPosts = sim().failedPosts();
    const bool looksOurs = isOwnInjectedStep(flags, extra);
    const int targets[2] = {S::s_vertical.targetPos, S::s_horizontal.targetPos};
    const int starts = startsSoFar()[0] + startsSoFar()[1];
    const UINT_PTR clocks[2] = {S::s_vertical.activeTimerId, S::s_horizontal.activeTimerId};
    const int raw = static_cast<short>(HIWORD(mouseData));
    const int axis = message == WM_MOUSEHWHEEL ? 1 : 0;
    // Fine-grained as the script judges it: off a whole notch, or soon after such an event.
    const long long now = static_cast<long long>(GetTickCount());
    // Tick counts wrap after 49.7 days: the time since the latest fine event is their
    // difference as a signed 32-bit count, and one stamped before it counts as close.
    const auto since = static_cast<std::int32_t>(static_cast<DWORD>(now) - static_cast<DWORD>(m_lastFine[axis]));
    const bool fine = nCode == HC_ACTION && !looksOurs
        && (raw % 120 != 0 || (m_lastFine[axis] >= 0 && since < 300));
    // The engine learns of a fine event only through its hook: one that came while the hook
    // was out (removed, or failing to install) cannot make the next event fine.
    if (fine && sim().installedHookCount() > 0)
        m_lastFine[axis] = now;
    const SimDesktop::HookOutcome outcome = sim().injectMouse(message, pt, mouseData, nCode, flags, extra);
    if (looksOurs) {
        // An event like our own steps passes on and changes nothing.
        FUZZ_CHECK(S::s_vertical.targetPos == targets[0] && S::s_horizontal.targetPos == targets[1]);
        FUZZ_CHECK(startsSoFar()[0] + startsSoFar()[1] == starts);
        m_inputSeen = sim().receivedInput().size();
    }
    if (fine) {
        // Left to the device, whatever the set says, and no glide of its axis goes on.
        FUZZ_CHECK(outcome.passedOn());
        FUZZ_CHECK(!S::animation(kWheelAxes[axis]).isAnimating);
    }
    if (!looksOurs && !fine && nCode == HC_ACTION)
        skipReversedNotch(message, raw, outcome, targets, clocks, starts);
    ++m_wheelEvents;
    afterAnyHookEvent(wasAnimating, startsBefore, failedPosts);
    return outcome;
}

void EngineScript::skipReversedNotch(UINT message, int raw, const SimDesktop::HookOutcome &outcome,
                                     const int (&targets)[2], const UINT_PTR (&clocks)[2], int starts)
{
    const WheelAxis axis = message == WM_MOUSEHWHEEL ? WheelAxis::Horizontal : WheelAxis::Vertical;
    const ScrollAnimation &a = S::animation(axis);
    const int i = static_cast<int>(axis);
    // A swallowed notch that neither began nor moved an animation, yet sent something.
    if (!outcome.swallowed() || a.targetPos != targets[i] || a.activeTimerId != clocks[i]
        || startsSoFar()[0] + startsSoFar()[1] != starts)
        return;
    const auto &posted = sim().posted();
    const auto &input = sim().receivedInput();
    const std::size_t sent = (posted.size() - m_postsSeen) + (input.size() - m_inputSeen);
    if (sent == 0)
        return; // a slight opposite notch that settled the animation, or a lost one
    FUZZ_CHECK(sent == 1);
    const int delta = posted.size() > m_postsSeen ? static_cast<short>((posted.back().wParam >> 16) & 0xFFFF)
                                                  : input.back().delta;
    FUZZ_CHECK(delta == -raw && raw % 120 == 0);
    m_postsSeen = posted.size();
    m_inputSeen = input.size();
}

void EngineScript::afterAnyHookEvent(const bool (&wasAnimating)[2], const int (&startsBefore)[2], int failedPosts)
{
    afterHookEvent(wasAnimating, startsBefore);
    noteInexactSums();
    if (sim().failedPosts() != failedPosts)
        m_sumUnknown[0] = m_sumUnknown[1] = true;
    // The hook takes the first step of an animation it starts or restarts.
    const HWND targets[2] = {S::s_vertical.targetHwnd, S::s_horizontal.targetHwnd};
    const float unknown[2] = {std::nanf(""), std::nanf("")};
    checkPosts(targets, unknown, m_postsSeen);
}

void EngineScript::fineStream(ByteReader &in)
{
    const UINT message = in.flag() ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    const POINT pt = pickPoint(in);
    short delta = kFineDeltas[in.below(8)];
    for (std::uint32_t n = 1 + in.below(8); n > 0; --n) {
        if (in.flag())
            delta = static_cast<short>(-delta); // the finger turns
        wheelEvent(message, pt, DWORD(std::uint16_t(delta)) << 16, HC_ACTION, 0, 0);
        advanceClock(in.below(4) * 110); // 0, 110, 220 or 330 ms
    }
}

void EngineScript::spinStream(ByteReader &in)
{
    // A wheel spun fast or freely: whole notches, now and then two in one event or one the
    // other way, up to 20 ms apart (0: at the same instant), for a set that may multiply them.
    const POINT pt = pickPoint(in);
    const bool up = in.flag();
    for (std::uint32_t n = 1 + in.below(32); n > 0; --n) {
        const std::uint32_t how = in.below(8);
        short delta = static_cast<short>(how == 0 ? 240 : 120);
        if ((how == 1) == up)
            delta = static_cast<short>(-delta);
        wheelEvent(WM_MOUSEWHEEL, pt, DWORD(std::uint16_t(delta)) << 16, HC_ACTION, 0, 0);
        advanceClock(in.below(21));
    }
}

void EngineScript::noteInexactSums()
{
    for (WheelAxis axis : kWheelAxes) {
        const ScrollAnimation &a = S::animation(axis);
        if (std::abs(float(a.targetPos)) > kExactRange || std::fabs(a.scrolledSoFar) > kExactRange)
            m_sumUnknown[static_cast<int>(axis)] = true;
    }
}

void EngineScript::afterHookEvent(const bool (&wasAnimating)[2], const int (&startsBefore)[2])
{
    for (WheelAxis axis : kWheelAxes) {
        const ScrollAnimation &a = S::animation(axis);
        const int i = static_cast<int>(axis);
        // A new animation (or a reversed one) starts counting from nothing.
        if (startsSoFar()[i] != startsBefore[i] || (a.isAnimating && !wasAnimating[i])) {
            m_postedSinceStart[i] = 0;
            m_sumUnknown[i] = false;
        }
    }
}

void EngineScript::advanceClock(long long milliseconds)
{
    runTicks([&] { m_ticks += sim().advanceTime(milliseconds); });
}

void EngineScript::tick(ByteReader &in)
{
    runTicks([&] {
        switch (in.below(4)) {
        case 0:
            m_ticks += sim().advanceTime(in.byte());
            break;
        case 1:
            m_ticks += sim().runTimers(int(in.below(400)));
            break;
        case 2:
            // A tick still queued when its clock was stopped or restarted, or one of another
            // timer.
            if (S::hiddenWindowExists()) {
                // One byte says the message, the axis, and an lParam that a tick must not mind.
                const std::uint8_t how = in.byte();
                const UINT message = (how & 1) ? WM_TIMER : kClockTickMessage;
                const UINT_PTR id = in.flag() ? clockIdOf(kWheelAxes[(how >> 1) & 1]) : in.byte();
                const LPARAM extra = (how & 4) ? LPARAM(how >> 3) : 0;
                sim().sendMessage(S::s_hWnd, message, id, extra);
            }
            break;
        default:
            m_ticks += sim().advanceTime(in.below(400));
            break;
        }
    });
}

void EngineScript::runTicks(const std::function<void()> &run)
{
    bool wasAnimating[2];
    HWND targets[2];
    float before[2];
    for (WheelAxis axis : kWheelAxes) {
        const int i = static_cast<int>(axis);
        wasAnimating[i] = S::animation(axis).isAnimating;
        targets[i] = S::animation(axis).targetHwnd;
        before[i] = remaining(axis);
    }
    const std::size_t firstPost = sim().posted().size();
    const int failedPosts = sim().failedPosts();
    noteInexactSums();
    run();
    checkPosts(targets, before, firstPost);
    for (WheelAxis axis : kWheelAxes) {
        const ScrollAnimation &a = S::animation(axis);
        const int i = static_cast<int>(axis);
        // A post that failed without refusal counts as delivered for the engine, but the
        // desktop has no record of it: from then on this animation's sum cannot be checked.
        if (sim().failedPosts() != failedPosts)
            m_sumUnknown[i] = true;
        // Nothing left to consume or to post: the animation ended by arriving, not because
        // a modifier, a hidden window or a refusal cut it short.
        const bool nothingLeft = std::fabs(remaining(axis)) < 0.5f && std::fabs(a.pendingFraction) <= 0.5f;
        if (wasAnimating[i] && !a.isAnimating && nothingLeft && !m_sumUnknown[i]
            && std::abs(float(a.targetPos)) <= kExactRange) {
            // The animation came to its end: it delivered exactly its target in the user's
            // units, within the half unit the last remainder may leave.
            const long long divisor = a.unitDivisor;
            FUZZ_CHECK(2 * std::llabs(m_postedSinceStart[i] * divisor - a.targetPos) <= divisor);
        }
    }
}

void EngineScript::checkPosts(const HWND (&targets)[2], const float (&remainingBefore)[2],
                              std::size_t firstPost)
{
    const auto &posted = sim().posted();
    for (std::size_t i = firstPost; i < posted.size(); ++i) {
        const SimDesktop::PostedMessage &m = posted[i];
        const auto axis = axisOfWheelMessage(m.message);
        FUZZ_CHECK(axis.has_value());
        const int a = static_cast<int>(*axis);
        FUZZ_CHECK(m.hwnd == targets[a]);
        FUZZ_CHECK((m.wParam >> 32) == 0 && (m.wParam & 0xFFFF & ~WPARAM(0x000C)) == 0);
        const int delta = static_cast<short>((m.wParam >> 16) & 0xFFFF);
        FUZZ_CHECK(delta != 0);
        // Steps go the way the animation still has to go; a wrapped 16-bit delta would not.
        if (std::isnan(remainingBefore[a]))
            ; // not known before the hook's first step
        else if (std::fabs(remainingBefore[a]) >= 1.0f)
            FUZZ_CHECK(sign(float(delta)) == sign(remainingBefore[a]));
        else
            FUZZ_CHECK(std::abs(delta) == 1);
        m_postedSinceStart[a] += delta;
    }
    m_postsSeen = posted.size();
    // Our injected steps: where the system took them, always within the target's top-level
    // window, and counted like posted ones.
    const auto &input = sim().receivedInput();
    for (std::size_t i = m_inputSeen; i < input.size(); ++i) {
        const SimDesktop::InputEvent &e = input[i];
        if (!e.injected || e.extraInfo != kInjectedStepTag)
            continue;
        const int a = static_cast<int>(*axisOfWheelMessage(e.message));
        FUZZ_CHECK(e.delta != 0 && rootOf(e.hwnd) == rootOf(targets[a]));
        m_postedSinceStart[a] += e.delta;
    }
    m_inputSeen = input.size();
}

void EngineScript::changeDesktop(ByteReader &in)
{
    if (in.below(3) == 0) {
        changeWindowsAndScreens(in);
        return;
    }
    switch (in.below(14)) {
    case 0: addApp(in); break;
    case 1: DestroyWindow(pickWindow(in)); break;
    case 2: {
        const HWND hwnd = pickWindow(in);
        sim().setWindowVisible(hwnd, in.flag());
        break;
    }
    case 3: {
        const LONG left = LONG(in.below(8) * 100);
        sim().setWindowRect(pickWindow(in), {left, 0, left + 900, 900});
        break;
    }
    case 4: {
        const int key = kKeys[in.below(3)];
        sim().setKeyDown(key, in.flag());
        break;
    }
    case 5: {
        const HWND hwnd = pickWindow(in);
        sim().failPostTo(hwnd, kPostErrors[in.below(3)]);
        break;
    }
    case 6: {
        const DWORD pid = m_apps[in.below(std::uint32_t(m_apps.size()))].pid;
        if (in.flag())
            sim().setProcessOpenable(pid, in.flag());
        else
            sim().setImageNameQueryError(pid, in.flag() ? ERROR_ACCESS_DENIED : 0);
        break;
    }
    case 7:
        if (in.flag())
            sim().overrideWindowFromPoint(std::nullopt);
        else
            sim().overrideWindowFromPoint(in.flag() ? S::s_hWnd : pickWindow(in));
        break;
    case 8:
        if (in.flag())
            sim().failSetTimer(in.flag() ? ERROR_NOT_ENOUGH_QUOTA : 0);
        else
            sim().failMultimediaTimers(in.flag());
        break;
    case 9:
        m_engine.stop();
        FUZZ_CHECK(sim().installedHookCount() == 0 && !S::s_vertical.isAnimating
                   && !S::s_horizontal.isAnimating);
        sim().failHookInstall(in.below(4) == 0 ? ERROR_HOOK_NEEDS_HMOD : 0);
        sim().failCreateMessageOnlyWindow(in.below(4) == 0 ? ERROR_NOT_ENOUGH_QUOTA : 0);
        m_engine.start();
        sim().failHookInstall(0);
        sim().failCreateMessageOnlyWindow(0);
        break;
    case 10: {
        // The window under the cursor gives way to a new one of the same process.
        App &app = m_apps[in.below(std::uint32_t(m_apps.size()))];
        DestroyWindow(app.hwnd);
        app.hwnd = sim().addWindow(app.pid, {0, 0, 1000, 800});
        break;
    }
    case 11: {
        // The process ends (its windows with it) and a new one may get its pid.
        App &app = m_apps[in.below(std::uint32_t(m_apps.size()))];
        sim().endProcess(app.pid);
        const wchar_t *image = kImages[in.below(7)];
        app.pid = sim().addProcess(image, true, in.flag() ? app.pid : 0);
        app.hwnd = sim().addWindow(app.pid, {0, 0, 1000, 800});
        break;
    }
    case 12: {
        // The window goes and its handle comes back for a window of another process, a new
        // one now and then with the pid of one that has ended.
        App &app = m_apps[in.below(std::uint32_t(m_apps.size()))];
        const HWND handle = app.hwnd;
        DestroyWindow(handle);
        DWORD pid = m_apps[in.below(std::uint32_t(m_apps.size()))].pid;
        if (in.flag()) {
            if (in.flag())
                sim().endProcess(pid);
            pid = sim().addProcess(kImages[in.below(7)], true, in.flag() ? pid : 0);
        }
        if (const HWND reused = sim().addWindowReusing(handle, pid, {0, 0, 1000, 800}))
            app = {reused, pid};
        break;
    }
    default: m_engine.start(); break; // a second launch asks the running engine to start
    }
    FUZZ_CHECK(sim().openHandleCount() == 0);
}

void EngineScript::changeWindowsAndScreens(ByteReader &in)
{
    switch (in.below(11)) {
    case 0:
        sim().setWindowClass(pickWindow(in), kClassNames[in.below(8)]);
        break;
    case 1:
        // A child over part of the window, of a class of its own; another one inside it now and
        // then.
        if (sim().liveWindowCount() < 96) {
            const HWND parent = pickWindow(in);
            const HWND child = sim().addChildWindow(parent, kClassNames[in.below(8)], {0, 0, 600, 500});
            if (child)
                m_children.push_back(child);
            if (child && in.flag())
                sim().addChildWindow(child, kClassNames[in.below(8)], {100, 300, 500, 500});
        }
        break;
    case 2: {
        const std::uint32_t which = in.below(8);
        sim().setForegroundWindow(which == 0 ? nullptr : which == 1 ? S::s_hWnd : pickWindow(in));
        break;
    }
    case 3:
        // A glide's injected steps go by the routing of now: once the user's change of the
        // setting sends them elsewhere the rest is dropped, so its sum is no longer held to
        // its target.
        sim().setWheelRouting(kRoutings[in.below(5)]);
        S::systemChangeAnnounced(WM_SETTINGCHANGE, 0); // as the system does for the Settings app
        m_sumUnknown[0] = m_sumUnknown[1] = true;
        break;
    case 4:
        if (in.flag() && m_monitors.size() < 8) {
            const LONG left = static_cast<LONG>(in.below(5)) * 500 - 1000;
            const LONG top = static_cast<LONG>(in.below(3)) * 400 - 400;
            const LONG width = static_cast<LONG>(in.below(4)) * 600; // 0: a monitor of no size
            m_monitors.push_back(sim().addMonitor({left, top, left + width, top + LONG(in.below(4)) * 450}));
        } else if (!m_monitors.empty()) {
            const std::size_t i = in.below(std::uint32_t(m_monitors.size()));
            sim().removeMonitor(m_monitors[i]);
            m_monitors.erase(m_monitors.begin() + std::ptrdiff_t(i));
        }
        break;
    case 5:
        sim().setWindowZoomed(pickWindow(in), in.flag());
        break;
    case 6:
        // A window covering the first monitor, or a larger one.
        sim().setWindowRect(pickWindow(in), in.flag() ? SimDesktop::Rect{0, 0, 1920, 1080} : SimDesktop::Rect{-8, -8, 1928, 1088});
        break;
    case 7:
        publishWheelUnits(WheelUnits{kPerNotch[in.below(9)], kPerNotch[in.below(9)]});
        break;
    case 8:
        // The display's frame clock: any rate and period (0, absurd, disagreeing), any phase,
        // the timing call failing, the blank stopping, a remote session.
        switch (in.below(4)) {
        case 0:
            sim().setCompositorClock(in.below(4) == 0 ? in.dword() : kRefreshRates[in.below(4)], in.below(3),
                                     in.below(4) == 0 ? in.dword() : SimDesktop::kQpcFrequency / (1 + in.below(300)),
                                     in.dword());
            break;
        case 1: sim().failCompositionTiming(in.flag()); break;
        case 2: sim().freezeVerticalBlank(in.flag()); break;
        default: sim().setRemoteSession(in.flag()); break;
        }
        break;
    case 9:
        // A browser moves a tab to another of its windows, or to another application's.
        if (!m_children.empty())
            sim().setWindowParent(m_children[in.below(std::uint32_t(m_children.size()))], pickWindow(in));
        break;
    default:
        sim().failSendInput(in.flag() ? ERROR_ACCESS_DENIED : 0);
        break;
    }
}

void EngineScript::checkIdle() const
{
    // A clock runs only for an animation that runs: at most one per animating axis.
    const std::size_t animating = S::s_vertical.isAnimating + S::s_horizontal.isAnimating;
    const std::size_t frameTimers = sim().armedWaitableTimers() > 0 ? 1 : 0; // shared by the axes
    FUZZ_CHECK(std::size_t(sim().timerCount()) + sim().multimediaTimers().size() + frameTimers <= animating);
}
