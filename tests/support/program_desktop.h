#pragma once
// The real program on a real X display: an Xvfb server of its own, and copies of the program
// started on it from a scratch folder, where their config.json, registry stand-in and local
// endpoint land.

#include "app/single_instance.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class ProgramDesktop {
public:
    // Starts Xvfb and copies the program at programPath into the scratch folder.
    explicit ProgramDesktop(const QString &programPath);
    ~ProgramDesktop();

    // Empty when the display is usable, else why not (the test then skips).
    QString unavailable() const { return m_unavailable; }
    QString folder() const { return m_folder.path(); }
    // The local endpoint a first instance listens on.
    QString endpoint() const { return m_folder.filePath(localServerName()); }

    // Starts one more launch of the program (with the autorun entry's argument).
    std::unique_ptr<QProcess> launch() const;
    // Viewable top-level windows of at least the settings window's smallest size.
    int viewableSettingsWindows() const;

private:
    QProcess m_xvfb;
    QTemporaryDir m_folder;
    QString m_program;
    QString m_display;
    QString m_unavailable;
    QProcessEnvironment m_environment;
};
