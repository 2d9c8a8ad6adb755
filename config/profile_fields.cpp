#include "config/profile_fields.h"

#include "config/config_document.h"
#include "config/param_reading.h"

const QString kDefaultEntryText = QStringLiteral("默认");
const QString kAddEntryText = QStringLiteral("+");

std::int32_t showableInteger(const nlohmann::json &set, const char *key, std::int32_t fallback)
{
    if (const std::optional<bool> flag = readFlag(set, key))
        return *flag ? 1 : 0;
    return readSigned32(set, key).value_or(fallback);
}

bool showableFlag(const nlohmann::json &set, const char *key, bool fallback)
{
    return readFlag(set, key).value_or(fallback);
}

ProfileValues showableValues(const nlohmann::json &set)
{
    ProfileValues values;
    for (std::size_t i = 0; i < kIntegerKeyCount; ++i)
        values.integers[i] = showableInteger(set, kParameterKeys[i].name, kParameterKeys[i].fallback);
    const ParameterKey &direction = kParameterKeys[kDirectionNormalKey];
    const ParameterKey &smooth = kParameterKeys[kSmoothScrollKey];
    values.scrollDirectionNormal = showableFlag(set, direction.name, direction.fallback != 0);
    values.smoothScrollEnabled = showableFlag(set, smooth.name, smooth.fallback != 0);
    values.fastSpinMax = readFastSpinMax(set);
    return values;
}

nlohmann::json parameterSetOf(const ProfileValues &values)
{
    nlohmann::json set = nlohmann::json::object();
    for (std::size_t i = 0; i < kIntegerKeyCount; ++i)
        set[kParameterKeys[i].name] = values.integers[i];
    set[kParameterKeys[kDirectionNormalKey].name] = values.scrollDirectionNormal;
    set[kParameterKeys[kSmoothScrollKey].name] = values.smoothScrollEnabled;
    if (values.fastSpinMax > 1 && values.fastSpinMax <= kFastSpinLargest)
        set[kFastSpinMaxKey] = values.fastSpinMax;
    return set;
}

QString fastSpinText(std::int32_t maximum)
{
    if (maximum <= 1 || maximum > kFastSpinLargest)
        return QStringLiteral("关");
    return QStringLiteral("最高 %1 倍").arg(maximum);
}

QString profileDisplayText(const QString &name)
{
    return name == QLatin1String(kDefaultProfileName) ? kDefaultEntryText : name;
}

QString profileNameOfText(const QString &text)
{
    return text == kDefaultEntryText ? QString::fromLatin1(kDefaultProfileName) : text;
}

bool isApplicationEntry(const QString &text)
{
    return text != kDefaultEntryText && text != kAddEntryText;
}

QString profileToSave(const QString &entryText)
{
    if (entryText.isEmpty() || entryText == kAddEntryText)
        return QString();
    return profileNameOfText(entryText);
}
