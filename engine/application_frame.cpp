#include "engine/application_frame.h"

#include "engine/window_process.h"

#include <iterator>
#include <string_view>

namespace {

// A frame holds a title bar, an input sink and the content; more children than this are not
// a frame we know, and the walk stops rather than scan them all inside the hook.
constexpr int kMostFrameChildren = 32;

DWORD processOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

} // namespace

bool isApplicationFrame(HWND topLevel)
{
    if (!topLevel)
        return false;
    constexpr int kLength = int(std::size(kApplicationFrameClass));
    // One character more than the class name: a longer name is cut and then differs.
    WCHAR name[kLength + 1];
    const int length = GetClassNameW(topLevel, name, kLength + 1);
    return length == kLength - 1 && std::wstring_view(name, std::size_t(length)) == kApplicationFrameClass;
}

HWND applicationFrameContent(HWND frame)
{
    const DWORD framePid = processOf(frame);
    if (framePid == 0)
        return nullptr;
    HWND child = nullptr;
    for (int i = 0; i < kMostFrameChildren; ++i) {
        child = FindWindowExW(frame, child, nullptr, nullptr);
        if (!child)
            break;
        const DWORD pid = processOf(child);
        if (pid != 0 && pid != framePid)
            return child;
    }
    return nullptr;
}

std::optional<std::wstring> applicationFrameAppName(HWND topLevel)
{
    if (!isApplicationFrame(topLevel))
        return std::nullopt;
    const HWND content = applicationFrameContent(topLevel);
    if (!content)
        return std::nullopt;
    return processFileName(processOf(content));
}
