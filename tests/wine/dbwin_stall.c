/* A debug-output monitor that has stopped reading, for the Wine check.
 *
 *   dbwin_stall.exe MILLISECONDS
 *
 * Creates and owns what a monitor of OutputDebugString owns: the file mapping "DBWIN_BUFFER"
 * and the events "DBWIN_BUFFER_READY" and "DBWIN_DATA_READY". It never signals the buffer
 * ready, so each OutputDebugString of every process waits up to 10 s for it, behind the
 * system's DBWinMutex. Prints "holding" once the objects exist, "gone" as it lets them go
 * after MILLISECONDS, and exits with 0 (1 if an object could not be made).
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    DWORD ms = argc > 1 ? (DWORD)strtoul(argv[1], NULL, 10) : 30000;
    HANDLE buffer = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
    HANDLE bufferReady = CreateEventW(NULL, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    HANDLE dataReady = CreateEventW(NULL, FALSE, FALSE, L"DBWIN_DATA_READY");
    if (!buffer || !bufferReady || !dataReady) {
        printf("failed %lu\n", GetLastError());
        return 1;
    }
    printf("holding\n");
    fflush(stdout);
    /* A monitor would wait on dataReady and set bufferReady; this one only sleeps. */
    Sleep(ms);
    CloseHandle(dataReady);
    CloseHandle(bufferReady);
    CloseHandle(buffer);
    printf("gone\n");
    fflush(stdout);
    return 0;
}
