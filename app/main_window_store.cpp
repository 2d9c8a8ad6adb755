// The configuration store: config.json into the working document at start, the profile on
// show into the panel and back, the working document out to the engine and to the file.
#include "app/main_window.h"

#include "config/autorun.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"
#include "config/profile_fields.h"
#include "ui/custom_image_button.h"
#include "ui/custom_radio_button.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
#include <QtDebug>

bool MainWindow::loadConfig()
{
    // Only one instance gets this far, so no save of ours is under way.
    removeLeftoverSaves(configFilePath());
    const std::optional<QByteArray> bytes = readConfigFile(configFilePath());
    if (!bytes)
        return false;
    const std::optional<nlohmann::json> loaded =
        parseConfigText(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!loaded)
        return false;
    mergeLoadedConfig(workingConfig, *loaded);
    return true;
}

void MainWindow::showProfile(const QString &name)
{
    const nlohmann::json &parameters = workingConfig["parameters"];
    const auto found = parameters.find(name.toStdString());
    if (found == parameters.end())
        return;
    const nlohmann::json &profile = *found;

    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].value = showableInteger(profile, kIntegerFields[i].key, kIntegerFields[i].fallback);
    m_scrollDirectionNormal = showableFlag(profile, "scrollDirectionNormal", true);
    for (ParamRow &row : m_rows)
        refreshValueLabel(row);

    {
        const QSignalBlocker blocker(m_directionGroup);
        (m_scrollDirectionNormal ? m_normalRadio : m_reverseRadio)->setChecked(true);
    }
    {
        const QSignalBlocker blocker(m_smoothCheckBox);
        m_smoothCheckBox->setChecked(showableFlag(profile, "smoothScrollEnabled", true));
    }
    {
        const QSignalBlocker blocker(m_autorunButton);
        m_autorunButton->setChecked(showableFlag(workingConfig, "autorunEnabled", false));
    }
    publishConfig();
}

void MainWindow::collectProfile(const QString &name)
{
    if (name.isEmpty())
        return;
    nlohmann::json set = nlohmann::json::object();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        set[kIntegerFields[i].key] = m_rows[i].value;
    set["scrollDirectionNormal"] = m_scrollDirectionNormal;
    set["smoothScrollEnabled"] = m_smoothCheckBox->isChecked();
    workingConfig["parameters"][name.toStdString()] = std::move(set);
    workingConfig["autorunEnabled"] = m_autorunButton->isChecked();
    publishConfig();
}

void MainWindow::publishConfig()
{
    publishSharedConfig(workingConfig);
}

bool MainWindow::saveConfig()
{
    const QString name = m_appComboBox ? profileToSave(m_appComboBox->currentText()) : QString();
    if (name.isEmpty())
        return true;
    collectProfile(name);

    const QString path = configFilePath();
    try {
        if (!writeConfigFile(path, configFileText(workingConfig))) {
            reportSaveFailure(path);
            return false;
        }
        applyAutorun(workingConfig["autorunEnabled"].get<bool>());
    } catch (...) {
        return false;
    }
    return true;
}

void MainWindow::reportSaveFailure(const QString &path)
{
    if (m_saveFailureReported)
        return;
    m_saveFailureReported = true;
    const QString nativePath = QDir::toNativeSeparators(path);
    qWarning() << "[Config] Settings cannot be saved to" << nativePath;
    if (m_trayIcon)
        m_trayIcon->showMessage(QStringLiteral("Sorvella"), QStringLiteral("设置无法保存到 ") + nativePath);
}
