#pragma once
// Store apps (UWP) live in a frame that belongs to ApplicationFrameHost.exe: its title bar and
// input sink are the host's, only the content window inside belongs to the application. The
// application's own name is that of the content's process, wherever in the frame the cursor is.

#include "platform/win32.h"

#include <optional>
#include <string>

// The class of the frame host's top-level windows.
constexpr wchar_t kApplicationFrameClass[] = L"ApplicationFrameWindow";
// The frame host's file name: a set under it does not reach the apps inside its frames.
constexpr wchar_t kApplicationFrameHostName[] = L"ApplicationFrameHost.exe";

// topLevel is the frame of a Store app.
bool isApplicationFrame(HWND topLevel);

// The frame's content: its first direct child (from the top) that belongs to a process other
// than the frame's; nullptr when there is none (the app is minimised or still starting).
HWND applicationFrameContent(HWND frame);

// For a window whose top-level window is topLevel: when that is a Store app's frame with
// content, the content process's file name (empty when it cannot be read); nullopt otherwise,
// and the window's own process name applies.
std::optional<std::wstring> applicationFrameAppName(HWND topLevel);
