#include "config/file_replacement.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {

ReplaceFailure platformReplace(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    // Write-through: the rename is on disk before the save reports success.
    if (MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ReplaceFailure::None;
    return classifyReplaceError(GetLastError());
#else
    // A POSIX rename replaces a file that others hold open; nothing here is worth a retry.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return ReplaceFailure::None;
    return ReplaceFailure::Other;
#endif
}

ReplaceStep &replaceStep()
{
    static ReplaceStep step;
    return step;
}

} // namespace

ReplaceFailure classifyReplaceError(unsigned long windowsError)
{
    switch (windowsError) {
    case 0:
        return ReplaceFailure::None;
    case 5:  // ERROR_ACCESS_DENIED
    case 32: // ERROR_SHARING_VIOLATION
    case 33: // ERROR_LOCK_VIOLATION
        return ReplaceFailure::Locked;
    default:
        return ReplaceFailure::Other;
    }
}

bool shouldRetryReplace(ReplaceFailure failure, qint64 elapsedMs)
{
    return failure == ReplaceFailure::Locked && elapsedMs + kReplaceRetryPauseMs <= kReplaceRetryWindowMs;
}

void setReplaceStep(ReplaceStep step)
{
    replaceStep() = std::move(step);
}

bool replaceFile(const QString &from, const QString &to)
{
    const ReplaceStep &step = replaceStep();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const ReplaceFailure failure = step ? step(from, to) : platformReplace(from, to);
        if (failure == ReplaceFailure::None)
            return true;
        if (!shouldRetryReplace(failure, clock.elapsed()))
            return false;
        QThread::msleep(kReplaceRetryPauseMs);
    }
}
