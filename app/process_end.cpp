#include "app/process_end.h"

#include <cstdlib>

#ifdef _WIN32
#include "platform/win32.h"
#else
#include <unistd.h>
#endif

ProcessEnd processEndAfter(bool engineStopped, bool logWritten)
{
    return engineStopped && logWritten ? ProcessEnd::Exit : ProcessEnd::AtOnce;
}

void endProcess(ProcessEnd how)
{
    if (how == ProcessEnd::Exit)
        std::exit(0);
#ifdef _WIN32
    // Not ExitProcess (nor _exit, which ends in it): it runs every DLL's detach code, the
    // toolkit's static destructors among them, under the loader lock, after the other threads
    // were cut off wherever they stood. TerminateProcess runs nothing of ours; the system still
    // takes down the hook, the windows and the handles.
    TerminateProcess(GetCurrentProcess(), 0);
#endif
    _exit(0);
}
