#pragma once
// The last step of a save: a finished temporary file renamed over the old one. Another
// program (an antivirus scanner, the indexer, an editor) may hold the old file open without
// delete sharing for a moment; the replacement is then refused, and is tried again for about
// a second, as Windows programs do, before the save counts as failed.

#include <QString>

#include <functional>

enum class ReplaceFailure {
    None,   // replaced
    Locked, // another program holds the file: worth another try
    Other,  // anything else: no retry would help
};

// How long a locked file is waited for, and the pause between two tries.
constexpr int kReplaceRetryWindowMs = 1000;
constexpr int kReplaceRetryPauseMs = 50;

// What a Windows error code of the rename means for the save: a sharing violation, a lock
// violation or access denied (what a file open without delete sharing gives) is Locked.
ReplaceFailure classifyReplaceError(unsigned long windowsError);

// Whether to try once more after `failure`, `elapsedMs` after the first try.
bool shouldRetryReplace(ReplaceFailure failure, qint64 elapsedMs);

// Renames `from` over `to` once; the platform's own rename unless a test set another.
using ReplaceStep = std::function<ReplaceFailure(const QString &from, const QString &to)>;
// Tests put a step of their own in place; an empty one restores the platform's.
void setReplaceStep(ReplaceStep step);

// Renames `from` over `to`, trying again while shouldRetryReplace says so. Blocks the calling
// thread for the retries. True when the file was replaced.
bool replaceFile(const QString &from, const QString &to);
