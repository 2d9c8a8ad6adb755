#include "config/config_file.h"

#include "config/file_replacement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The written bytes reach the disk before the rename makes them the configuration, so that
// a power cut cannot leave an empty config.json behind.
bool syncToDisk(int descriptor)
{
#ifdef Q_OS_WIN
    return _commit(descriptor) == 0;
#else
    return ::fsync(descriptor) == 0;
#endif
}

QString &directoryOverride()
{
    static QString directory;
    return directory;
}

} // namespace

QString configDirectory()
{
    const QString &overridden = directoryOverride();
    return overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden;
}

void setConfigDirectory(const QString &directory)
{
    directoryOverride() = directory;
}

QString configFilePath()
{
    return configDirectory() + QStringLiteral("/config.json");
}

std::optional<QByteArray> readConfigFile(const QString &path)
{
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    return file.readAll();
}

bool writeConfigFile(const QString &path, const std::string &text)
{
    QString temporary;
    bool written = false;
    {
        // Named as removeLeftoverSaves expects: the file's own name, a dot and six characters.
        QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
        if (!file.open())
            return false;
        file.setAutoRemove(false);
        temporary = file.fileName();
        file.setTextModeEnabled(true);
        const qint64 size = qint64(text.size());
        written = file.write(text.data(), size) == size && file.flush() && syncToDisk(file.handle());
#ifndef Q_OS_WIN
        // A temporary file is private to its owner; the configuration keeps the old file's rights.
        const QFileInfo old(path);
        file.setPermissions(old.isFile() ? old.permissions()
                                         : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
#endif
    } // Only here is the temporary file closed (its close() keeps it open), and Windows
      // renames no file that is still open.
    if (written && replaceFile(temporary, path))
        return true;
    QFile::remove(temporary);
    return false;
}

int removeLeftoverSaves(const QString &path)
{
    const QFileInfo file(path);
    // The temporary file's name is the file's own with a dot and six random letters or digits.
    const QRegularExpression temporary(QStringLiteral("^%1\\.[A-Za-z0-9]{6}$")
                                           .arg(QRegularExpression::escape(file.fileName())));
    int removed = 0;
    const QDir folder = file.absoluteDir();
    for (const QFileInfo &entry : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!entry.isSymLink() && temporary.match(entry.fileName()).hasMatch()
            && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}
