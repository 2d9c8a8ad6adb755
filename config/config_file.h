#pragma once
// config.json on disk: where it is, reading its bytes, and replacing it whole.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

// The folder of the running executable, unless tests moved it elsewhere.
QString configDirectory();
// Moves the configuration folder (tests use a scratch folder); an empty path restores the
// executable's folder.
void setConfigDirectory(const QString &directory);
// configDirectory() followed by "/config.json".
QString configFilePath();

// The file's bytes, or nothing when it cannot be opened (missing, refused, a folder).
std::optional<QByteArray> readConfigFile(const QString &path);

// Replaces the file by the text, with the platform's line breaks: written to a temporary
// file in the same folder, flushed to disk, then renamed over the old one (replaceFile, which
// waits a moment for a file another program holds), so that the file is always either the
// old or the new document, whole. False when any step failed; the old file is then untouched
// and the temporary file removed.
bool writeConfigFile(const QString &path, const std::string &text);

// Removes what saves killed midway left beside the file: the temporary files named after it
// with six letters or digits appended ("config.json.Ab12Cd"). Only for a start, when no save
// of this program can be running. Returns how many were removed.
int removeLeftoverSaves(const QString &path);
