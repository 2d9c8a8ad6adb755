#include "config/config_document.h"

#include "config/parameter_keys.h"

#include <utility>

namespace {

// Kept byte for byte, indentation and the trailing blank line included, so that the
// document the engine sees before the first publication is exactly the shipped default.
constexpr char kDefaultConfigText[] =
    "{\n"
    "              \"autorunEnabled\": false,\n"
    "                  \"parameters\": {\n"
    "                  \"default\": {\n"
    "                      \"accelDown\": 10,\n"
    "                      \"accelDurationEnd\": 100,\n"
    "                      \"accelDurationStart\": 100,\n"
    "                      \"accelUp\": 10,\n"
    "                      \"rapidIntervalDown\": 5,\n"
    "                      \"rapidIntervalUp\": 5,\n"
    "                      \"scrollDirectionNormal\": true,\n"
    "                      \"scrollDistanceDown\": 4,\n"
    "                      \"scrollDistanceUp\": 4,\n"
    "                      \"smoothScrollEnabled\": true\n"
    "                  }\n"
    "                }\n"
    "            }\n"
    "        ";

} // namespace

std::string_view defaultConfigText()
{
    return std::string_view(kDefaultConfigText, sizeof(kDefaultConfigText) - 1);
}

SharedConfig::SharedConfig()
    : m_current(std::make_shared<const nlohmann::json>(nlohmann::json::parse(defaultConfigText())))
{
}

SharedConfig &SharedConfig::operator=(const nlohmann::json &document)
{
    // The one copy of a publication; readers holding the previous snapshot keep it intact.
    std::atomic_store(&m_current, std::make_shared<const nlohmann::json>(document));
    return *this;
}

SharedConfig &SharedConfig::operator=(nlohmann::json &&document)
{
    std::atomic_store(&m_current, std::make_shared<const nlohmann::json>(std::move(document)));
    return *this;
}

bool operator==(const SharedConfig &shared, const nlohmann::json &document)
{
    return shared.document() == document;
}

SharedConfig &sharedConfig()
{
    // A function-local static: its one-time creation is thread-safe.
    static SharedConfig shared;
    return shared;
}

ConfigSnapshot sharedConfigSnapshot()
{
    return sharedConfig().snapshot();
}

void publishSharedConfig(const nlohmann::json &document)
{
    sharedConfig() = document;
}

void publishSharedConfig(nlohmann::json &&document)
{
    sharedConfig() = std::move(document);
}

bool displayPacedIn(const nlohmann::json &document)
{
    if (!document.is_object())
        return false;
    const auto member = document.find(kDisplayPacedKey);
    return member != document.end() && member->is_boolean() && member->get<bool>();
}

void setDisplayPaced(nlohmann::json &document, bool on)
{
    if (on)
        document[kDisplayPacedKey] = true;
    else if (document.is_object())
        document.erase(kDisplayPacedKey);
}

nlohmann::json defaultParameters()
{
    nlohmann::json set = nlohmann::json::object();
    for (const ParameterKey &key : kParameterKeys) {
        if (key.isFlag)
            set[key.name] = key.defaultValue != 0;
        else
            set[key.name] = key.defaultValue;
    }
    return set;
}

nlohmann::json initialConfig()
{
    nlohmann::json document = nlohmann::json::object();
    document["autorunEnabled"] = false;
    document["parameters"] = nlohmann::json::object();
    document["parameters"][kDefaultProfileName] = defaultParameters();
    return document;
}
