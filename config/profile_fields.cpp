#include "config/profile_fields.h"

#include <cmath>
#include <limits>

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

namespace {

const QString kDefaultName = QStringLiteral("default");
const QString kDefaultText = QStringLiteral("默认");
const QString kAddText = QStringLiteral("+");

const nlohmann::json *member(const nlohmann::json &set, const char *key)
{
    if (!set.is_object())
        return nullptr;
    const auto it = set.find(key);
    return it == set.end() ? nullptr : &*it;
}

} // namespace

std::int32_t showableInteger(const nlohmann::json &set, const char *key, std::int32_t fallback)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const nlohmann::json *value = member(set, key);
    if (!value)
        return fallback;
    if (value->is_boolean())
        return value->get<bool>() ? 1 : 0;
    if (value->is_number_unsigned()) {
        const auto v = value->get<std::uint64_t>();
        return v > std::uint64_t(kMax) ? kMax : std::int32_t(v);
    }
    if (value->is_number_integer()) {
        const auto v = value->get<std::int64_t>();
        return v < kMin ? kMin : (v > kMax ? kMax : std::int32_t(v));
    }
    if (value->is_number_float()) {
        // Bounded before the conversion: a double beyond the range has no defined int value.
        const double v = std::trunc(value->get<double>());
        if (std::isnan(v))
            return fallback;
        return v <= kMin ? kMin : (v >= kMax ? kMax : std::int32_t(v));
    }
    return fallback;
}

bool showableFlag(const nlohmann::json &set, const char *key, bool fallback)
{
    const nlohmann::json *value = member(set, key);
    return value && value->is_boolean() ? value->get<bool>() : fallback;
}

QString profileDisplayText(const QString &name)
{
    return name == kDefaultName ? kDefaultText : name;
}

QString profileNameOfText(const QString &text)
{
    return text == kDefaultText ? kDefaultName : text;
}

QString profileToSave(const QString &entryText)
{
    if (entryText.isEmpty() || entryText == kAddText)
        return QString();
    return profileNameOfText(entryText);
}
