#include "config/profile_fields.h"

#include "config/param_reading.h"

const std::array<IntegerField, 8> kIntegerFields = {{
    {"accelUp", 10},
    {"accelDown", 10},
    {"rapidIntervalUp", 5},
    {"rapidIntervalDown", 5},
    {"accelDurationStart", 200},
    {"accelDurationEnd", 100},
    {"scrollDistanceUp", 4},
    {"scrollDistanceDown", 4},
}};

const QString kDefaultProfileName = QStringLiteral("default");
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

QString profileDisplayText(const QString &name)
{
    return name == kDefaultProfileName ? kDefaultEntryText : name;
}

QString profileNameOfText(const QString &text)
{
    return text == kDefaultEntryText ? kDefaultProfileName : text;
}

QString profileToSave(const QString &entryText)
{
    if (entryText.isEmpty() || entryText == kAddEntryText)
        return QString();
    return profileNameOfText(entryText);
}
