#pragma once
// The start-at-log-on entry: a string value under the current user's Run key and its
// WOW6432Node twin, holding the quoted path of the executable and " -startup".

#include <QString>

extern const char kAutorunValueName[];
extern const char kRunKey[];
extern const char kRunKeyWow64[];

// "\"<path>\" -startup": the path is always quoted.
QString autorunCommandText(const QString &exePath);

// Brings the entry in line with the flag. On: writes it under both keys unless the Run key
// already holds exactly the command text (the twin key is not compared); true when it wrote.
// Off: removes it under both keys; false.
bool applyAutorun(bool enabled);

// Writes the entry under both keys (enabled) or removes it from both, the Run key first.
void writeAutorunEntry(const QString &valueName, const QString &exePath, bool enabled);
