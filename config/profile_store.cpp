#include "config/profile_store.h"

#include "config/autorun.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"

ProfileStore::ProfileStore()
    : m_document(initialConfig())
{
}

bool ProfileStore::load()
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
    mergeLoadedConfig(m_document, *loaded);
    return true;
}

std::optional<ProfileValues> ProfileStore::valuesOf(const QString &name) const
{
    const auto profiles = m_document.find("parameters");
    if (profiles == m_document.end())
        return std::nullopt;
    const auto found = profiles->find(name.toStdString());
    if (found == profiles->end())
        return std::nullopt;
    return showableValues(*found);
}

bool ProfileStore::autorunEnabled() const
{
    return showableFlag(m_document, "autorunEnabled", false);
}

void ProfileStore::setAutorunEnabled(bool enabled)
{
    m_document["autorunEnabled"] = enabled;
}

bool ProfileStore::displayPaced() const
{
    return displayPacedIn(m_document);
}

void ProfileStore::setDisplayPaced(bool on)
{
    ::setDisplayPaced(m_document, on);
}

void ProfileStore::collect(const QString &name, const ProfileValues &values, bool autorun)
{
    if (name.isEmpty())
        return;
    parameters()[name.toStdString()] = parameterSetOf(values);
    setAutorunEnabled(autorun);
}

bool ProfileStore::add(const QString &name)
{
    const std::string key = name.toStdString();
    if (parameters().contains(key))
        return false;
    parameters()[key] = parameters()[kDefaultProfileName];
    return true;
}

void ProfileStore::remove(const QString &name)
{
    parameters().erase(name.toStdString());
}

QStringList ProfileStore::entries() const
{
    QStringList texts;
    texts << kDefaultEntryText;
    const auto profiles = m_document.find("parameters");
    if (profiles != m_document.end() && profiles->is_object()) {
        texts.reserve(int(profiles->size()) + 1);
        for (auto it = profiles->begin(); it != profiles->end(); ++it) {
            if (it.key() != kDefaultProfileName)
                texts << QString::fromStdString(it.key());
        }
    }
    texts << kAddEntryText;
    return texts;
}

bool ProfileStore::save() const
{
    if (!writeConfigFile(configFilePath(), configFileText(m_document)))
        return false;
    applyAutorun(autorunEnabled());
    return true;
}
