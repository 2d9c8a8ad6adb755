#include "config/config_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const qint64 size = qint64(text.size());
    if (file.write(text.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    // commit() flushes the temporary file to disk before it renames it over the old one.
    return file.commit();
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
