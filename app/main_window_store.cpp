// The configuration store: glue between the panel's widgets and the profile store, which
// holds the working document, reads and writes config.json and brings autorun in line.
#include "app/main_window.h"

#include "config/config_document.h"
#include "config/config_file.h"
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
    return m_store.load();
}

void MainWindow::showProfile(const QString &name)
{
    const std::optional<ProfileValues> values = m_store.valuesOf(name);
    if (!values)
        return;

    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].value = values->integers[i];
    m_scrollDirectionNormal = values->scrollDirectionNormal;
    m_fastSpinRow.value = values->fastSpinMax;
    for (ParamRow &row : m_rows)
        refreshValueLabel(row);
    refreshValueLabel(m_fastSpinRow);

    {
        const QSignalBlocker blocker(m_directionGroup);
        (m_scrollDirectionNormal ? m_normalRadio : m_reverseRadio)->setChecked(true);
    }
    {
        const QSignalBlocker blocker(m_smoothCheckBox);
        m_smoothCheckBox->setChecked(values->smoothScrollEnabled);
    }
    if (m_displayPacedCheckBox) {
        const QSignalBlocker blocker(m_displayPacedCheckBox);
        m_displayPacedCheckBox->setChecked(m_store.displayPaced());
    }
    {
        const QSignalBlocker blocker(m_autorunButton);
        m_autorunButton->setChecked(m_store.autorunEnabled());
    }
    publishConfig();
}

void MainWindow::collectProfile(const QString &name)
{
    if (name.isEmpty())
        return;
    ProfileValues values;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        values.integers[i] = m_rows[i].value;
    values.scrollDirectionNormal = m_scrollDirectionNormal;
    values.smoothScrollEnabled = m_smoothCheckBox->isChecked();
    values.fastSpinMax = m_fastSpinRow.value;
    m_store.collect(name, values, m_autorunButton->isChecked());
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

    try {
        if (!m_store.save()) {
            reportSaveFailure(configFilePath());
            return false;
        }
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
