#include "app/running_applications.h"

#include "engine/application_frame.h"
#include "engine/wheel_decision.h"
#include "engine/window_process.h"

#include <QString>

#include <algorithm>
#include <set>

namespace {

// Longer titles are cut; the chooser shows only their beginning anyway.
constexpr int kTitleCapacity = 512;

struct Listing {
    std::vector<RunningApplication> applications;
    std::set<QString> names;
};

TopLevelWindowFacts factsOf(HWND hwnd, bool hasTitle)
{
    TopLevelWindowFacts facts;
    facts.visible = IsWindowVisible(hwnd) != FALSE;
    DWORD cloaked = 0;
    // Where the window manager cannot tell (older systems), nothing is cloaked.
    facts.cloaked = SUCCEEDED(DwmGetWindowAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked != 0;
    facts.hasTitle = hasTitle;
    facts.owned = GetWindow(hwnd, GW_OWNER) != nullptr;
    facts.exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    return facts;
}

bool isFrameHost(const QString &name)
{
    return name.compare(QString::fromWCharArray(kApplicationFrameHostName), Qt::CaseInsensitive) == 0;
}

void consider(HWND hwnd, Listing &listing)
{
    // GetWindowTextW reads the text Windows keeps for another process's window; it sends
    // nothing to it.
    WCHAR title[kTitleCapacity] = {};
    const int titleLength = GetWindowTextW(hwnd, title, kTitleCapacity);
    if (!offersApplication(factsOf(hwnd, titleLength > 0)))
        return;
    // A Store app's frame stands for the app inside it; a frame without content for nothing.
    HWND processWindow = hwnd;
    if (isApplicationFrame(hwnd)) {
        processWindow = applicationFrameContent(hwnd);
        if (!processWindow)
            return;
    }
    const WindowProcess process = windowProcess(processWindow);
    if (process.pid == GetCurrentProcessId() || process.fileName.empty() || isExcludedProcess(process.fileName))
        return;
    const QString name = QString::fromStdWString(process.fileName);
    if (isFrameHost(name) || !listing.names.insert(name).second)
        return;
    RunningApplication application;
    application.name = name;
    application.title = QString::fromWCharArray(title, titleLength);
    application.imagePath = QString::fromStdWString(processImagePath(process.pid));
    application.elevated = process.outranksUs;
    listing.applications.push_back(std::move(application));
}

BOOL CALLBACK considerWindow(HWND hwnd, LPARAM lParam)
{
    try {
        consider(hwnd, *reinterpret_cast<Listing *>(lParam));
        return TRUE;
    } catch (...) {
        // Out of memory: what was found so far is the list.
        return FALSE;
    }
}

} // namespace

bool offersApplication(const TopLevelWindowFacts &facts)
{
    if (!facts.visible || facts.cloaked || !facts.hasTitle)
        return false;
    return (facts.exStyle & WS_EX_APPWINDOW) != 0 || (!facts.owned && (facts.exStyle & WS_EX_TOOLWINDOW) == 0);
}

std::vector<RunningApplication> runningApplications()
{
    Listing listing;
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&listing));
    std::stable_sort(listing.applications.begin(), listing.applications.end(),
                     [](const RunningApplication &a, const RunningApplication &b) {
                         const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
                         return folded != 0 ? folded < 0 : a.name < b.name;
                     });
    return listing.applications;
}
