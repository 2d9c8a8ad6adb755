#include "program_desktop.h"

#include <QFile>
#include <QStandardPaths>

ProgramDesktop::ProgramDesktop(const QString &programPath)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xwininfo").isEmpty()) {
        m_unavailable = QStringLiteral("Xvfb or xwininfo is not installed");
        return;
    }
    m_xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!m_xvfb.waitForReadyRead(10000)) {
        m_unavailable = QStringLiteral("Xvfb did not start");
        return;
    }
    m_display = ":" + QString::fromLatin1(m_xvfb.readLine().trimmed());

    // A copy of the program in a folder of its own, so that its config.json lands there.
    m_program = m_folder.filePath("Sorvella");
    if (!QFile::copy(programPath, m_program))
        m_unavailable = QStringLiteral("the program cannot be copied");
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert("DISPLAY", m_display);
    m_environment.insert("QT_QPA_PLATFORM", "xcb");
    m_environment.insert("TMPDIR", m_folder.path());
    m_environment.insert("SORVELLA_REGISTRY_ROOT", m_folder.filePath("registry"));
}

ProgramDesktop::~ProgramDesktop()
{
    m_xvfb.kill();
    m_xvfb.waitForFinished(5000);
}

std::unique_ptr<QProcess> ProgramDesktop::launch() const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->setWorkingDirectory(m_folder.path());
    process->start(m_program, {"-startup"});
    return process;
}

int ProgramDesktop::viewableSettingsWindows() const
{
    QProcess list;
    list.start("xwininfo", {"-display", m_display, "-root", "-children"});
    list.waitForFinished(5000);
    int count = 0;
    for (const QByteArray &line : list.readAllStandardOutput().split('\n')) {
        const QByteArray id = line.trimmed().split(' ').value(0);
        if (!id.startsWith("0x"))
            continue;
        QProcess info;
        info.start("xwininfo", {"-display", m_display, "-id", QString::fromLatin1(id)});
        info.waitForFinished(5000);
        const QByteArray text = info.readAllStandardOutput();
        const int width = text.mid(text.indexOf("Width:") + 6).trimmed().split('\n').value(0).toInt();
        const int height = text.mid(text.indexOf("Height:") + 7).trimmed().split('\n').value(0).toInt();
        if (text.contains("IsViewable") && width >= 340 && height >= 520)
            ++count;
    }
    return count;
}
